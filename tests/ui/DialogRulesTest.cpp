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
        {"C:\\plane.dp", "plane.dp", "C:", true}, // root of a drive: the bare drive
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
