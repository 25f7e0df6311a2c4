// The pointer through which the windows reach the main window.
#include "MainServices.h"

namespace qel {

IMainServices* MainServices = nullptr;

} // namespace qel
