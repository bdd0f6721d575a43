#include "support/process_job.h"

namespace TestSupport {
namespace {

constexpr DWORD kPollMs = 20;

}  // namespace

ProcessJob::ProcessJob() : m_job(::CreateJobObjectA(nullptr, nullptr)) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (m_job && !::SetInformationJobObject(m_job.Get(), JobObjectExtendedLimitInformation, &limits,
                                            sizeof(limits)))
        m_job.Reset();  // a job that would not end its processes is no use here
}

bool ProcessJob::Add(HANDLE process) const {
    return m_job && ::AssignProcessToJobObject(m_job.Get(), process);
}

bool ProcessJob::EndAll(DWORD exitCode, DWORD timeoutMs) const {
    if (!m_job) return true;
    ::TerminateJobObject(m_job.Get(), exitCode);
    const DWORD start = ::GetTickCount();
    while (ActiveProcesses() != 0) {
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
    return true;
}

DWORD ProcessJob::ActiveProcesses() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    if (!m_job || !::QueryInformationJobObject(m_job.Get(), JobObjectBasicAccountingInformation,
                                               &accounting, sizeof(accounting), nullptr))
        return 0;
    return accounting.ActiveProcesses;
}

}  // namespace TestSupport
