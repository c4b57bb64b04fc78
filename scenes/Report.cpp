#include "scenes/Report.h"

#include <iostream>
#include <set>

namespace quellmoor {

namespace {

struct Reports {
    ReportSink sink;
    std::set<std::string> seen;
    bool full = false;
};

Reports& State() {
    static Reports reports;
    return reports;
}

void Send(Reports& reports, const std::string& message) {
    if (reports.sink)
        reports.sink(message);
    else
        std::cerr << message << '\n';
}

}  // namespace

void ReportOnce(const std::string& message) {
    Reports& reports = State();
    if (reports.full || reports.seen.contains(message)) return;
    if (reports.seen.size() >= kMaxReports) {
        reports.full = true;
        Send(reports, "Too many different problems; further ones are not reported.");
        return;
    }
    reports.seen.insert(message);
    Send(reports, message);
}

void SetReportSink(ReportSink sink) { State().sink = std::move(sink); }

void ForgetReports() {
    State().seen.clear();
    State().full = false;
}

}  // namespace quellmoor
