// The resources linked into the program: icon, strings and version record, read back as Windows reads them.
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::vector<unsigned char> resourceBytes(const char* type, const char* name) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC info = ::FindResourceA(module, name, type);
    if (!info) return {};
    const auto* data = static_cast<const unsigned char*>(::LockResource(::LoadResource(module, info)));
    return std::vector<unsigned char>(data, data + ::SizeofResource(module, info));
}

unsigned word(const std::vector<unsigned char>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
unsigned long dword(const std::vector<unsigned char>& b, std::size_t at) {
    return word(b, at) | static_cast<unsigned long>(word(b, at + 2)) << 16;
}

std::string loadString(UINT id) {
    char text[256] = "";
    ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

} // namespace

TEST(IconResource, TwoSixteenColourImagesWithEmptyMasks) {
    const auto group = resourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_EQ(group.size(), 6u + 2 * 14);
    EXPECT_EQ(word(group, 2), 1u); // icons
    ASSERT_EQ(word(group, 4), 2u);
    struct Expected {
        unsigned size;
        unsigned long bytes;
    };
    const Expected expected[] = {{32, 744}, {16, 296}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(expected[i].size);
        const std::size_t entry = 6 + 14 * i;
        EXPECT_EQ(group[entry], expected[i].size);
        EXPECT_EQ(group[entry + 1], expected[i].size);
        EXPECT_EQ(group[entry + 2], 16u);      // colours
        EXPECT_EQ(word(group, entry + 4), 1u); // planes
        EXPECT_EQ(word(group, entry + 6), 4u); // bits per pixel
        EXPECT_EQ(dword(group, entry + 8), expected[i].bytes);

        const auto image = resourceBytes(RT_ICON, MAKEINTRESOURCEA(word(group, entry + 12)));
        ASSERT_EQ(image.size(), expected[i].bytes);
        EXPECT_EQ(dword(image, 0), 40u); // header size
        EXPECT_EQ(dword(image, 4), expected[i].size);
        EXPECT_EQ(dword(image, 8), 2 * expected[i].size); // colour plane and mask
        EXPECT_EQ(word(image, 14), 4u);
        const std::size_t maskBytes = expected[i].size * ((expected[i].size + 31) / 32 * 4);
        for (std::size_t at = image.size() - maskBytes; at < image.size(); ++at)
            ASSERT_EQ(image[at], 0) << "a transparent pixel in the mask at byte " << at;
        // The corner is the light-grey ground: palette entry 7 (silver) in the top-left pixel's high nibble.
        const std::size_t topRow = 40 + 64 + (expected[i].size - 1) * (expected[i].size / 2);
        EXPECT_EQ(image[topRow] >> 4, 7);
        EXPECT_EQ(dword(image, 40 + 4 * 7), 0xC0C0C0u);
    }
    EXPECT_NE(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
}

TEST(StringTable, AboutItemAndTheSixIndicators) {
    const struct {
        UINT id;
        const char* text;
    } strings[] = {
        {IDS_ABOUTBOX, "&About ZERKON..."},
        {59136, "EXT"},
        {59137, "CAP"},
        {59138, "NUM"},
        {59139, "SCRL"},
        {59140, "OVR"},
        {59141, "REC"},
    };
    for (const auto& s : strings)
        EXPECT_EQ(loadString(s.id), s.text) << "string " << s.id;
}

TEST(VersionRecord, FixedPartStringsAndTranslation) {
    const auto record = resourceBytes(RT_VERSION, MAKEINTRESOURCEA(1));
    ASSERT_FALSE(record.empty());
    std::vector<unsigned char> copy = record; // VerQueryValue may write into the block it reads
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(copy.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    // Version 1.0.0.1 of file and product, no flags of the mask set, for 32-bit Windows, an application.
    EXPECT_EQ(std::tie(fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                       fixed->dwProductVersionLS, fixed->dwFileFlagsMask, fixed->dwFileFlags, fixed->dwFileOS,
                       fixed->dwFileType, fixed->dwFileSubtype),
              std::make_tuple(0x00010000u, 0x00000001u, 0x00010000u, 0x00000001u, 0x3Fu, 0u, 0x4u, 1u, 0u));

    // Every key in the order the record holds it, with its value (null: any).
    const struct {
        const char* key;
        const char* value;
    } strings[] = {
        {"Comments", ""},
        {"CompanyName", nullptr},
        {"FileDescription", "ZERKON MFC Application"},
        {"FileVersion", "1, 0, 0, 1"},
        {"InternalName", "ZERKON"},
        {"LegalCopyright", nullptr},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "ZERKON.EXE"},
        {"PrivateBuild", ""},
        {"ProductName", "ZERKON Application"},
        {"ProductVersion", "1, 0, 0, 1"},
        {"SpecialBuild", ""},
    };
    std::size_t previous = 0;
    for (const auto& s : strings) {
        SCOPED_TRACE(s.key);
        if (s.value) {
            char* value = nullptr;
            ASSERT_TRUE(::VerQueryValueA(copy.data(), (std::string("\\StringFileInfo\\040904b0\\") + s.key).c_str(),
                                         reinterpret_cast<void**>(&value), &length));
            EXPECT_STREQ(value, s.value);
        }
        // Each name is stored in UTF-16, so search the names as such.
        std::vector<unsigned char> wide;
        for (const char* c = s.key; *c; ++c)
            wide.insert(wide.end(), {static_cast<unsigned char>(*c), 0});
        wide.insert(wide.end(), {0, 0});
        auto found = std::search(record.begin() + previous, record.end(), wide.begin(), wide.end());
        ASSERT_NE(found, record.end()) << s.key << " is missing or out of order";
        previous = static_cast<std::size_t>(found - record.begin());
    }

    WORD* translation = nullptr;
    ASSERT_TRUE(
        ::VerQueryValueA(copy.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);
}
