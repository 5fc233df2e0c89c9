#pragma once
// Reading what the test installer reported (see test_installer.h).
#include <map>
#include <string>

namespace installer_report {

using Report = std::map<std::string, std::string>;

// The report named after installFolderName ("ZoQalInst0") in reports; empty
// when there is none.
Report Read(const std::string& reports, const std::string& installFolderName);

// Waits (at most 60 s) until that report exists; whether it appeared.
bool WaitFor(const std::string& reports, const std::string& installFolderName);

// Tells the test installers waiting in reports that they may end.
void Release(const std::string& reports);

// Points the test installers started from now on at reports and mode.
void Direct(const std::string& reports, const std::string& mode);

}  // namespace installer_report
