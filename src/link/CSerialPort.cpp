#include "link/CSerialPort.h"

// The interface's meta-object lives in this translation unit.
