#include "platform/windows/named_mutex_lock.h"

#include <sddl.h>

#include "platform/windows/system_message.h"
#include "platform/windows/utf8_text.h"

namespace {

// Full access for everyone (every user and service account), and a low mandatory label that
// lets low-integrity processes take it too. Without the label where the system cannot read it.
constexpr const wchar_t* kOpenToAll[] = {L"D:(A;;0x001F0001;;;WD)S:(ML;;NW;;;LW)",
                                         L"D:(A;;0x001F0001;;;WD)"};

class OpenDescriptor {
  public:
    OpenDescriptor() {
        for (const wchar_t* text : kOpenToAll) {
            if (ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1,
                                                                     &descriptor_, nullptr)) {
                break;
            }
            descriptor_ = nullptr;
        }
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor_;
        attributes_.bInheritHandle = FALSE;
    }
    ~OpenDescriptor() { LocalFree(descriptor_); }
    OpenDescriptor(const OpenDescriptor&) = delete;
    OpenDescriptor& operator=(const OpenDescriptor&) = delete;
    SECURITY_ATTRIBUTES* Attributes() { return &attributes_; }

  private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

HANDLE CreateOrOpen(const std::wstring& fullName, SECURITY_ATTRIBUTES* attributes) {
    return CreateMutexExW(attributes, fullName.c_str(), 0, SYNCHRONIZE | MUTEX_MODIFY_STATE);
}

}  // namespace

NamedMutexLock::~NamedMutexLock() {
    if (mutex_ != nullptr) CloseHandle(mutex_);
}

std::wstring NamedMutexLock::FullName() const {
    return (local_ ? L"Local\\" : L"Global\\") + name_;
}

bool NamedMutexLock::Open(std::string& error) {
    if (mutex_ != nullptr) return true;
    OpenDescriptor descriptor;
    local_ = false;
    mutex_ = CreateOrOpen(FullName(), descriptor.Attributes());
    if (mutex_ == nullptr && GetLastError() == ERROR_ACCESS_DENIED) {
        local_ = true;
        mutex_ = CreateOrOpen(FullName(), descriptor.Attributes());
    }
    if (mutex_ == nullptr) {
        error = "the lock \"" + Utf8FromWide(FullName()) +
                "\" cannot be opened: " + SystemMessage(GetLastError());
        return false;
    }
    return true;
}

bool NamedMutexLock::Acquire(std::string& error) {
    if (!Open(error)) return false;
    switch (WaitForSingleObject(mutex_, timeoutMs_)) {
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED:  // its holder ended mid-sequence; ours is sent whole
            return true;
        case WAIT_TIMEOUT:
            error = "the lock \"" + Utf8FromWide(FullName()) + "\" was not free within " +
                    std::to_string(timeoutMs_ / 1000) + " s: " + holder_;
            return false;
        default:
            error = "the lock \"" + Utf8FromWide(FullName()) +
                    "\" cannot be taken: " + SystemMessage(GetLastError());
            return false;
    }
}

void NamedMutexLock::Release() {
    if (mutex_ != nullptr) ReleaseMutex(mutex_);
}

NamedMutexLock& ProcessBoardLock() {
    static NamedMutexLock lock(kBoardLockName, kLockTimeoutMs,
                               "another program is sending to the boards");
    return lock;
}

NamedMutexLock& ProcessSettingsLock() {
    static NamedMutexLock lock(kSettingsLockName, kLockTimeoutMs,
                               "another program is saving the settings");
    return lock;
}
