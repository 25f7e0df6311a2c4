#include "About.h"

namespace qel {

Tfrm_about* frm_about = nullptr;

Tfrm_about::Tfrm_about(QWidget* parent) : QDialog(parent) { setWindowTitle("About QEL"); }

} // namespace qel
