#include "NewLink.h"

namespace qel {

TNewLinkForm* NewLinkForm = nullptr;

TNewLinkForm::TNewLinkForm(QWidget* parent) : QDialog(parent) { setWindowTitle("New Link"); }

} // namespace qel
