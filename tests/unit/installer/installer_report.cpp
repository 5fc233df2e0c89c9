#include "installer_report.h"

#include <chrono>
#include <fstream>
#include <thread>

#include "support/test_support.h"

namespace installer_report {

namespace {
std::string ReportPath(const std::string& reports, const std::string& installFolderName)
{
    return testing_support::Join(reports, installFolderName + ".txt");
}
}  // namespace

Report Read(const std::string& reports, const std::string& installFolderName)
{
    Report report;
    std::ifstream in(ReportPath(reports, installFolderName), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        size_t equals = line.find('=');
        if (equals != std::string::npos) report[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return report;
}

bool WaitFor(const std::string& reports, const std::string& installFolderName)
{
    for (int waited = 0; waited < 60000; waited += 20) {
        if (testing_support::Exists(ReportPath(reports, installFolderName))) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void Release(const std::string& reports)
{
    testing_support::WriteText(testing_support::Join(reports, "release"), "go");
}

void Direct(const std::string& reports, const std::string& mode)
{
    testing_support::SetEnvironment("QDX_INSTALLER_REPORTS", reports);
    testing_support::SetEnvironment("QDX_INSTALLER_MODE", mode);
}

}  // namespace installer_report
