// A serial port that nothing else uses, for tests that list, choose or open ports: a new
// pseudo-terminal on Linux; on Windows one of the COM ports that scripts/test-windows names in
// KESTRO_WIN_SPARE_PORTS (a comma-separated list), handed out in turn.
#pragma once

#include <memory>
#include <string>

class SparePort {
public:
    SparePort();

    const std::string& Path() const { return path; }  // as opened: "/dev/pts/3", "\\.\COM43"
    const std::string& Name() const { return name; }  // as listed: "pts/3", "COM43"

private:
    std::shared_ptr<void> line;  // what keeps the port there while the test runs
    std::string path;
    std::string name;
};
