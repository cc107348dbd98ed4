// The main dialog's rules on texts and numbers, on their own.
#include "DialogRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace zerkon::ui;

TEST(SplitChosenPath, NameAfterTheLastBackslashAndFolderBeforeIt) {
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
        bool hasFolder;
    };
    const Case cases[] = {
        {"C:\\Games\\Sim\\plane.dp", "plane.dp", "C:\\Games\\Sim", true},
        {"C:\\plane.dp", "plane.dp", "C:", true}, // root of a drive: the bare drive specifier
        {"\\\\server\\share\\p.dp", "p.dp", "\\\\server\\share", true},
        {"C:\\dir.v2\\a.b.dp", "a.b.dp", "C:\\dir.v2", true},
        {"C:\\dp\\", "", "C:\\dp", true},
        {"plane.dp", "plane.dp", "", false}, // no backslash: the whole path, no folder
        {"C:/Games/plane.dp", "C:/Games/plane.dp", "", false},
        {"", "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const ChosenPath chosen = splitChosenPath(c.path);
        EXPECT_EQ(chosen.name, c.name);
        EXPECT_EQ(chosen.folder, c.folder);
        EXPECT_EQ(chosen.hasFolder, c.hasFolder);
    }
}

TEST(StartFolderFromProfile, EmptyAndDefaultLengthValuesGetADot) {
    struct Case {
        const char* stored;
        const char* startFolder;
    };
    const Case cases[] = {
        {"C:\\", "C:\\."},    // the key is missing: the profile read gives the default
        {"", "."},            // present but empty: the current folder
        {"D:\\", "D:\\."},    // any three characters, like the default
        {"abc", "abc."},      //
        {"C:", "C:"},         // a root folder as the Select command stores it
        {"C:\\dp", "C:\\dp"}, // four characters and more stay as they are
        {"C:\\Games\\Sim", "C:\\Games\\Sim"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(startFolderFromProfile(c.stored), c.startFolder);
    }
}

TEST(CopyCut, NeverWritesPastTheBuffer) {
    struct Case {
        std::size_t length;
        std::size_t copied;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {779, 779}, {780, 780}, {781, 780}, {3000, 780}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        char buffer[pathBufferSize + 8];
        std::memset(buffer, '#', sizeof buffer);
        copyCut(buffer, pathBufferSize, std::string(c.length, '9'));
        EXPECT_EQ(std::strlen(buffer), c.copied);
        EXPECT_EQ(std::string(buffer), std::string(c.copied, '9'));
        for (std::size_t i = pathBufferSize; i < sizeof buffer; ++i)
            EXPECT_EQ(buffer[i], '#') << "byte " << i << " past the buffer was written";
    }
}

TEST(MinimizedIconOrigin, CentresTruncatingTowardZero) {
    struct Case {
        int clientWidth, clientHeight, iconWidth, iconHeight;
        int x, y;
    };
    const Case cases[] = {
        {0, 0, 32, 32, -15, -15}, // -31 / 2 is -15, not -16
        {1, 2, 32, 32, -15, -14}, // -30 / 2 and -29 / 2
        {32, 32, 32, 32, 0, 0},   {160, 31, 32, 32, 64, 0}, {161, 100, 32, 32, 65, 34}, {36, 36, 16, 16, 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.clientWidth << "x" << c.clientHeight);
        const IconOrigin origin = minimizedIconOrigin(c.clientWidth, c.clientHeight, c.iconWidth, c.iconHeight);
        EXPECT_EQ(origin.x, c.x);
        EXPECT_EQ(origin.y, c.y);
    }
}
