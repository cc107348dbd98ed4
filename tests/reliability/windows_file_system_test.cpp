// What the Windows file system gives a pass beyond the C runtime: the file's access list, attributes and creation
// time kept.
#include <zerkon/file_system.hpp>
#include <zerkon/pass.hpp>

#include "test_files.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

namespace {

using namespace zerkon::testing;

const std::string kPlane = "[GUNSTATIONS]\r\ngunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n";

zerkon::PassResult harmonize(const std::string& path) {
    return zerkon::harmonizeFile(path, {900, 1, {}}, {nullptr, fixedClock});
}

// The access list as text, such as "D:P(A;;FA;;;S-1-5-21-...)(A;;FR;;;WD)".
std::string accessListOf(const std::string& path) {
    DWORD size = 0;
    ::GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::string descriptor(size, '\0');
    char* text = nullptr;
    if (size == 0 || !::GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
        !::ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor.data(), SDDL_REVISION_1,
                                                                DACL_SECURITY_INFORMATION, &text, nullptr))
        return "unreadable";
    const std::string result = text;
    ::LocalFree(text);
    return result;
}

std::string currentUser() {
    HANDLE token = nullptr;
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
    char buffer[256];
    DWORD size = sizeof buffer;
    char* text = nullptr;
    ::GetTokenInformation(token, TokenUser, buffer, size, &size);
    ::CloseHandle(token);
    ::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text);
    const std::string result = text ? text : "";
    ::LocalFree(text);
    return result;
}

constexpr unsigned long long kYear2001 = 0x01c07385c89dc000; // in 100 ns since 1601

unsigned long long creationTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<unsigned long long>(data.ftCreationTime.dwHighDateTime) << 32) |
           data.ftCreationTime.dwLowDateTime;
}

// A user's own access list, protected from the folder's, the hidden attribute and a creation time of 2001: the new
// file has them all, and the backup keeps them too.
TEST(WindowsFileSystem, NewFileKeepsAccessListAttributesAndCreationTime) {
    TempFolder folder;
    const std::string dp = folder.file("plane.dp");
    writeBytes(dp, kPlane);

    const std::string accessList = "D:P(A;;FA;;;" + currentUser() + ")(A;;FR;;;WD)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(accessList.c_str(), SDDL_REVISION_1, &descriptor,
                                                                       nullptr));
    ASSERT_TRUE(
        ::SetFileSecurityA(dp.c_str(), DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, descriptor));
    ::LocalFree(descriptor);
    const FILETIME year2001{kYear2001 & 0xffffffff, kYear2001 >> 32};
    HANDLE file = ::CreateFileA(dp.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::SetFileTime(file, &year2001, nullptr, nullptr);
    ::CloseHandle(file);
    ASSERT_TRUE(::SetFileAttributesA(dp.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const std::string accessListBefore = accessListOf(dp);
    const unsigned long long createdBefore = creationTimeOf(dp);

    const zerkon::PassResult result = harmonize(dp);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_NE(readBytes(dp).find("Guns harmonized"), std::string::npos);
    // Wine makes an access list up from the file's Unix permissions and keeps no creation time: those are checked
    // where the file system kept them on the original.
    const bool keepsAccessLists = accessListBefore.rfind("D:P(", 0) == 0;
    const bool keepsCreationTimes = createdBefore == kYear2001;
    if (!keepsAccessLists) std::printf("note: this file system keeps no access list\n");
    if (!keepsCreationTimes) std::printf("note: this file system keeps no creation time\n");
    for (const std::string& path : {dp, folder.file("plane_001.dp")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN});
        if (keepsAccessLists) {
            EXPECT_EQ(accessListOf(path), accessListBefore);
        }
        if (keepsCreationTimes) {
            EXPECT_EQ(creationTimeOf(path), kYear2001);
        }
    }
}

} // namespace
