// A power cut after each call of a save, on a disk in memory that keeps only what
// was synced: the file must then open as its old content or its new one.
#include "config/error.h"
#include "config/file_io.h"
#include "config/save_target.h"
#include "memory_file_system.h"
#include "passing_file_system.h"
#include "row_name.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <optional>
#include <string>

using namespace qe;
using namespace qe::test;

namespace {

const std::string kTarget = "/conf/client.ini";
const std::string kOld = "[keep]\nx = 1\n[misc]\nk=old\n";
const std::string kNew = "[keep]\nx = 1\n[misc]\nk=new\n" + std::string(3000, ';') + "\n";

// Hands on the first `calls` calls; then the power is gone and every call fails.
class PowerCut : public PassingFileSystem {
public:
    PowerCut(FileSystem& disk, int calls) : PassingFileSystem(disk), left_(calls) {}
    bool cut() const { return cut_; }
    std::string last = "none"; // the last call handed on

protected:
    bool enter(const char* call) override {
        cut_ = cut_ || left_ == 0;
        if (cut_) return false;
        --left_;
        last = call;
        return true;
    }

private:
    int left_;
    bool cut_ = false;
};

// A save from a disk set up with kTarget (or only its folder) to kNew in kTarget.
struct SaveScenario {
    const char* name;
    std::function<void(MemoryFileSystem&)> setUp; // everything synced
    std::function<void(FileSystem&)> save;
    bool keepsOldOrNew = true; // false: cut points that leave it mixed are reported
};

struct PowerCutReport {
    int cutPoints = 0;
    std::size_t states = 0;
    std::string mixedAfter; // the calls after which a cut may leave the file mixed
};

// kTarget of a state as the editor's load reads it; nothing when it is missing.
std::optional<std::string> openedAsEditor(const MemoryFileSystem::Files& state) {
    const auto it = state.find(kTarget);
    if (it == state.end()) return std::nullopt;
    TempDir dir;
    return readForLoad(dir.write("client.ini", it->second));
}

// Cuts the power after each call of the save in turn, up to the one after its last
// call, and opens every state the disk may come back in.
PowerCutReport cutAtEveryCall(const SaveScenario& scenario) {
    MemoryFileSystem before;
    scenario.setUp(before);
    const std::optional<std::string> old = openedAsEditor(*before.afterPowerCut().begin());
    PowerCutReport report;
    for (bool whole = false; !whole; ++report.cutPoints) {
        MemoryFileSystem disk;
        scenario.setUp(disk);
        PowerCut power(disk, report.cutPoints);
        try {
            scenario.save(power);
        } catch (const ConfigError&) {
        }
        whole = !power.cut();
        bool mixed = false;
        for (const MemoryFileSystem::Files& state : disk.afterPowerCut()) {
            ++report.states;
            const std::optional<std::string> now = openedAsEditor(state);
            if (now == kNew || (!whole && now == old)) continue;
            mixed = true;
            if (whole || scenario.keepsOldOrNew)
                ADD_FAILURE() << "cut after call " << report.cutPoints << " (" << power.last
                              << (whole ? ", the save's last" : "") << ") leaves "
                              << (now == old ? "the old content"
                                  : now
                                      ? std::to_string(now->size()) + " bytes, neither old nor new"
                                      : "no file");
        }
        if (mixed)
            report.mixedAfter += " " + std::to_string(report.cutPoints) + " (" + power.last + ")";
    }
    return report;
}

void withOldFile(MemoryFileSystem& disk) {
    disk.makeFolder("/conf");
    disk.makeFile(kTarget, kOld);
}

void replaceTarget(FileSystem& fs) {
    replaceFile(kTarget, kNew, fs);
}

// quenbyconf --backup: a copy of the old file under the save's lock, then the replace.
void backUpAndReplace(FileSystem& fs) {
    SaveTarget target{kTarget, {}, fs};
    target.backUp();
    target.replace(kNew);
}

const SaveScenario kScenarios[] = {
    {"Replace", withOldFile, replaceTarget},
    {"ReplaceThroughNamedTemporary",
     [](MemoryFileSystem& disk) {
         withOldFile(disk);
         disk.unnamedFiles = false;
     },
     replaceTarget},
    {"BackUpThenReplace", withOldFile, backUpAndReplace},
    {"NewFile", [](MemoryFileSystem& disk) { disk.makeFolder("/conf"); }, replaceTarget},
    // A second name makes the save write in place, which a cut may leave mixed.
    {"InPlace",
     [](MemoryFileSystem& disk) {
         withOldFile(disk);
         disk.makeLink(kTarget, "/conf/other-name");
     },
     replaceTarget, false},
};

void PrintTo(const SaveScenario& s, std::ostream* os) {
    *os << s.name;
}

class PowerCuts : public testing::TestWithParam<SaveScenario> {};

TEST_P(PowerCuts, LeaveOldOrNewFile) {
    const PowerCutReport report = cutAtEveryCall(GetParam());
    std::cout << GetParam().name << ": " << report.cutPoints << " cut points, " << report.states
              << " states opened; mixed after calls:"
              << (report.mixedAfter.empty() ? " none" : report.mixedAfter) << "\n";
}

INSTANTIATE_TEST_SUITE_P(Saves, PowerCuts, testing::ValuesIn(kScenarios), RowName());

} // namespace
