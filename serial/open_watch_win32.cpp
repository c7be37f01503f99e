// No watch on Windows: a port's open there is exclusive, so that another program is refused by the
// system itself and never opens the port between two commands of this one.
#include "serial/system.h"

DeviceOpenWatch::DeviceOpenWatch(const std::string& path) : path(path) {}

DeviceOpenWatch::~DeviceOpenWatch() = default;

bool DeviceOpenWatch::OpenElsewhere() { return false; }

void DeviceOpenWatch::TakeEvents() {}

void DeviceOpenWatch::OursAlone() {}
