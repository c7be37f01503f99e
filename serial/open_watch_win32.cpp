// No watch on Windows: every open of a port there is exclusive, so that a program that opened it
// between two commands makes the next command's open fail by itself, as a port in use.
#include "serial/system.h"

DeviceOpenWatch::DeviceOpenWatch(const std::string& path) : path(path) {}

DeviceOpenWatch::~DeviceOpenWatch() = default;

bool DeviceOpenWatch::OpenElsewhere() { return false; }

void DeviceOpenWatch::TakeEvents() {}

void DeviceOpenWatch::OursAlone() {}
