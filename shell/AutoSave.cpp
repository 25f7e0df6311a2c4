#include "AutoSave.h"

namespace qel {

TfrmAutoSave* frmAutoSave = nullptr;

TfrmAutoSave::TfrmAutoSave(QWidget* parent) : QWidget(parent) { setWindowTitle("AutoSave"); }

} // namespace qel
