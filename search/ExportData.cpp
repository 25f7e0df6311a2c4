#include "ExportData.h"

namespace qel {

TExpDataFrm* ExpDataFrm = nullptr;

TExpDataFrm::TExpDataFrm(QWidget* parent) : QWidget(parent) { setWindowTitle("Export data"); }

} // namespace qel
