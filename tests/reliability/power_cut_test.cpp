// A power cut at every step of a pass, a restore and a picture drawn again. The file operations are recorded, and every
// state the disk could be left in after a cut at any point is rebuilt under ext4's default rules (data=ordered):
// written data that was never synced may be lost or partly kept, and the names changed since the folder was last synced
// may be undone, the later ones first (the journal commits them in order). Each state must hold the old or the new
// content whole under the DP name, the original content under the DP name or a backup name, and nothing else in any
// backup.
#include <zerkon/pass.hpp>
#include <zerkon/restore.hpp>

#include "dp_generator.hpp"
#include "faulty_file_system.hpp"
#include "memory_file_system.hpp"
#include "plot_command.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace zerkon;
using Files = std::map<std::string, std::string>;

// What a cut can leave of each operation.
struct Event {
    enum Kind { create, write, syncFile, rename, link, remove, permissions, syncFolder } kind;
    std::string path, to; // `to`: the new name of a rename or a link
    int file = 0;         // the file written or synced (its inode)
    std::string bytes;    // what a write wrote
    bool changesNames() const { return kind != write && kind != syncFile && kind != syncFolder; }
};

// Passes every call to the file system below, like FaultyFileSystem, and records each change that succeeded, with the
// file it touched.
class PowerCutRecorder : public zerkon::testing::FaultyFileSystem {
public:
    PowerCutRecorder(FileSystem& below, const Files& initial) : FaultyFileSystem(below) {
        for (const auto& entry : initial)
            names_[entry.first] = nextFile_++;
    }

    std::vector<Event> events;

    std::unique_ptr<OutputFile> createNew(const std::string& path, NewFileAccess access,
                                          std::error_code& error) override {
        auto output = FaultyFileSystem::createNew(path, access, error);
        if (!output) return output;
        names_[path] = nextFile_;
        events.push_back({Event::create, path, {}, nextFile_, {}});
        return std::make_unique<Output>(*this, std::move(output), nextFile_++);
    }
    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        FaultyFileSystem::rename(from, to, error);
        if (!error) moved(Event::rename, from, to);
    }
    void replace(const std::string& from, const std::string& to, std::error_code& error) override {
        FaultyFileSystem::replace(from, to, error);
        if (!error) moved(Event::rename, from, to);
    }
    void link(const std::string& existing, const std::string& newName, std::error_code& error) override {
        FaultyFileSystem::link(existing, newName, error);
        if (!error) moved(Event::link, existing, newName);
    }
    void remove(const std::string& path, std::error_code& error) override {
        FaultyFileSystem::remove(path, error);
        if (error) return;
        events.push_back({Event::remove, path, {}, names_[path], {}});
        names_.erase(path);
    }
    std::string copyIdentity(const std::string& from, const std::string& to, std::error_code& error) override {
        std::string what = FaultyFileSystem::copyIdentity(from, to, error);
        if (!error) events.push_back({Event::permissions, to, {}, names_[to], {}});
        return what;
    }
    void syncFolder(const std::string& folder, std::error_code& error) override {
        FaultyFileSystem::syncFolder(folder, error);
        if (!error) events.push_back({Event::syncFolder, folder, {}, 0, {}});
    }

private:
    class Output : public OutputFile {
    public:
        Output(PowerCutRecorder& owner, std::unique_ptr<OutputFile> inner, int file)
            : owner_(owner), inner_(std::move(inner)), file_(file) {}
        void write(const char* data, std::size_t size, std::error_code& error) override {
            inner_->write(data, size, error);
            if (!error) owner_.events.push_back({Event::write, {}, {}, file_, std::string(data, size)});
        }
        void flush(std::error_code& error) override {
            inner_->flush(error);
            if (!error) owner_.events.push_back({Event::syncFile, {}, {}, file_, {}});
        }
        void close(std::error_code& error) override { inner_->close(error); }

    private:
        PowerCutRecorder& owner_;
        std::unique_ptr<OutputFile> inner_;
        int file_;
    };

    void moved(Event::Kind kind, const std::string& from, const std::string& to) {
        events.push_back({kind, from, to, names_[from], {}});
        names_[to] = names_[from];
        if (kind == Event::rename) names_.erase(from);
    }

    std::map<std::string, int> names_;
    int nextFile_ = 1;
};

// Calls `check` with every state a cut after each prefix of `events` can leave, starting from `initial` (all of it on
// the disk). Returns how many states were checked.
int eachPowerCutState(const Files& initial, const std::vector<Event>& events,
                      const std::function<void(std::size_t cutAfter, const Files& state)>& check) {
    int states = 0;
    for (std::size_t cut = 0; cut <= events.size(); ++cut) {
        std::vector<const Event*> nameChanges;
        std::size_t durableNameChanges = 0;
        std::map<int, std::string> written, synced; // by file: every byte written, and those synced
        for (std::size_t i = 0; i < cut; ++i) {
            const Event& event = events[i];
            if (event.changesNames()) nameChanges.push_back(&event);
            if (event.kind == Event::syncFolder) durableNameChanges = nameChanges.size(); // one folder in these tests
            if (event.kind == Event::write) written[event.file] += event.bytes;
            if (event.kind == Event::syncFile) synced[event.file] = written[event.file];
        }
        std::vector<int> unsynced;
        for (const auto& [file, bytes] : written)
            if (bytes.size() > synced[file].size()) unsynced.push_back(file);

        for (std::size_t kept = durableNameChanges; kept <= nameChanges.size(); ++kept) {
            // Each unsynced file keeps none, half or all of its unsynced bytes.
            std::vector<int> choice(unsynced.size(), 0);
            for (bool more = true; more;) {
                std::map<int, std::string> content;
                std::map<std::string, int> names;
                int file = 0;
                for (const auto& entry : initial) {
                    names[entry.first] = ++file;
                    content[file] = entry.second;
                }
                for (const auto& [written_file, bytes] : synced)
                    content[written_file] = bytes;
                for (std::size_t u = 0; u < unsynced.size(); ++u) {
                    const std::string& all = written[unsynced[u]];
                    const std::size_t from = synced[unsynced[u]].size();
                    content[unsynced[u]] = all.substr(0, from + (all.size() - from) * choice[u] / 2);
                }
                for (std::size_t i = 0; i < kept; ++i) {
                    const Event& change = *nameChanges[i];
                    if (change.kind == Event::create) names[change.path] = change.file;
                    if (change.kind == Event::rename || change.kind == Event::link) names[change.to] = change.file;
                    if (change.kind == Event::rename || change.kind == Event::remove) names.erase(change.path);
                }
                Files state;
                for (const auto& [name, named] : names)
                    state[name] = content[named];
                check(cut, state);
                ++states;
                more = false;
                for (std::size_t u = 0; u < choice.size() && !more; ++u)
                    more = (choice[u] = (choice[u] + 1) % 3) != 0;
            }
        }
    }
    return states;
}

const std::regex kBackupName(R"(plane_\d{3}\.dp)");

// The promise after a cut: `dp` holds `before` or `after` whole (absent counts as content for a file that was not
// there), `before` is under `dp` or a backup name, and every backup holds what it held or `before`. Without links the
// two renames leave a moment with the original under its backup name only (`dpMayBeMissing`). A picture keeps no
// backup (`originalKept` false).
void expectEveryStateKeepsTheFile(const Files& initial, const std::vector<Event>& events, const std::string& dp,
                                  const std::string& before, const std::string& after, const std::string& what,
                                  bool dpMayBeMissing = false, bool originalKept = true) {
    const bool existed = initial.count(dp) != 0 && !dpMayBeMissing;
    const int states = eachPowerCutState(initial, events, [&](std::size_t cut, const Files& state) {
        const std::string where = "a cut after operation " + std::to_string(cut);
        const auto found = state.find(dp);
        if (found == state.end()) {
            EXPECT_FALSE(existed) << where << ": no file is left under " << dp;
        } else {
            EXPECT_TRUE(found->second == before || found->second == after)
                << where << ": " << dp << " holds " << found->second.size() << " bytes, neither old nor new";
        }
        bool kept = !existed || (found != state.end() && found->second == before);
        for (const auto& [name, content] : state) {
            if (!std::regex_match(name, kBackupName)) continue;
            const auto earlier = initial.find(name);
            EXPECT_TRUE(content == before || (earlier != initial.end() && earlier->second == content))
                << where << ": the backup " << name << " holds something else";
            kept = kept || content == before;
        }
        EXPECT_TRUE(kept || !originalKept) << where << ": the original content is under no name";
    });
    std::printf("power cut, %s: %zu operations, %d states checked\n", what.c_str(), events.size(), states);
}

// A file that takes several writes, so a cut can fall between them.
const std::string kOriginal = zerkon::testing::largeDpFile(600 * 1024);

TEST(PowerCut, PassKeepsTheFileWhole) {
    const struct {
        const char* what;
        bool withLinks, withBackups, twoNames; // twoNames: "other.dp" is a second name of the DP file
    } cases[] = {{"pass", true, false, false},
                 {"pass with backups", true, true, false},
                 {"pass without links", false, false, false},
                 {"pass of a file with two names", true, false, true}};
    for (const auto& c : cases) {
        Files initial{{"plane.dp", kOriginal}, {"plane.cdp", "compiled"}};
        if (c.withBackups) initial["plane_001.dp"] = "an earlier run";
        zerkon::testing::MemoryFileSystem memory(initial);
        std::error_code error;
        if (c.twoNames) memory.link("plane.dp", "other.dp", error);
        PowerCutRecorder files(memory, initial);
        if (!c.withLinks) files.withoutLinks();
        const PassResult result = harmonizeFile("plane.dp", {}, {&files, zerkon::testing::fixedClock});
        ASSERT_TRUE(result.ok()) << result.reason;
        ASSERT_NE(memory.content("plane.dp"), kOriginal);
        expectEveryStateKeepsTheFile(initial, files.events, "plane.dp", kOriginal, memory.content("plane.dp"), c.what,
                                     !c.withLinks);
        EXPECT_TRUE(!c.twoNames || (memory.content("other.dp") == kOriginal &&
                                    memory.identity("plane_001.dp", error).links == 1)); // a copy
    }
}

TEST(PowerCut, RestoreKeepsTheFileWhole) {
    for (const bool dpThere : {true, false}) {
        SCOPED_TRACE(dpThere ? "over the DP file" : "with the DP file deleted");
        Files initial{{"plane_001.dp", kOriginal + "; the first run\r\n"}, {"plane_002.dp", "the second run"}};
        if (dpThere) initial["plane.dp"] = kOriginal;
        zerkon::testing::MemoryFileSystem memory(initial);
        PowerCutRecorder files(memory, initial);
        const RestoreResult result = restoreBackup("plane.dp", 1, RestoreOptions{&files});
        ASSERT_TRUE(result.ok()) << result.reason;
        expectEveryStateKeepsTheFile(initial, files.events, "plane.dp", dpThere ? kOriginal : std::string(),
                                     initial["plane_001.dp"], dpThere ? "restore" : "restore of a deleted file");
    }
}

// A picture drawn again with --force is replaced as a DP file is, only without a backup.
TEST(PowerCut, PlotForceKeepsThePictureWhole) {
    const Files initial{{"plane.dp", kOriginal}, {"plane.svg", "<svg>an older picture</svg>"}};
    zerkon::testing::MemoryFileSystem memory(initial);
    PowerCutRecorder files(memory, initial);
    std::ostringstream out, err;
    zerkon::cli::Console console{out, err};
    ASSERT_EQ(zerkon::cli::runPlot({"plane.dp", {}, "plane.svg", true, &files}, console), 0) << err.str();
    expectEveryStateKeepsTheFile(initial, files.events, "plane.svg", initial.at("plane.svg"),
                                 memory.content("plane.svg"), "plot --force", false, false);
}

// The walk has teeth: a replacement that renames before it syncs the new file is caught.
TEST(PowerCut, ARenameBeforeTheSyncIsCaught) {
    const Files initial{{"plane.dp", "old"}};
    zerkon::testing::MemoryFileSystem memory(initial);
    PowerCutRecorder files(memory, initial);
    std::error_code error;
    files.createNew("plane.tmp", NewFileAccess::ownerOnly, error)->write("new", 3, error);
    files.replace("plane.tmp", "plane.dp", error);
    files.syncFolder("", error);
    int torn = 0;
    eachPowerCutState(initial, files.events, [&](std::size_t, const Files& state) {
        const auto found = state.find("plane.dp");
        torn += found->second != "old" && found->second != "new";
    });
    EXPECT_GT(torn, 0);
}

} // namespace
