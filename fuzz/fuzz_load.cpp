// Loads arbitrary bytes as a simulator file, saves the tree and loads the result,
// which must be the same tree; saving that again must give the same bytes. The
// first byte picks the file type, so every reading rule gets exercised.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "corvane/TSFile.h"

namespace {

constexpr std::array<const char*, 10> kNames = {"in.con",       "in.eng",     "in.s",      "in.sd",
                                                "carspawn.dat", "forest.dat", "ttype.dat", "in.ref",
                                                "in.act",       "in.txt"};

// Saved files keep the input's name, and so its type, in folders of their own.
const std::string& Folder() {
    static const std::string folder = fuzz_support::Folder("corvane-fuzz-", {"out", "again"});
    return folder;
}

// Loads a file; the one error a well-formed call can meet is a list file
// without its element name. Returns false after that error.
bool LoadTolerant(corvane::TSFile& file) {
    try {
        file.Load();
    } catch (const std::invalid_argument&) {
        return false;
    }
    return true;
}

[[noreturn]] void Mismatch(const char* what) {
    fuzz_support::Fail(("round trip changed the " + std::string(what)).c_str());
}

bool SameItem(const corvane::TSFileItem& a, const corvane::TSFileItem& b, bool topLevel) {
    std::string_view nameA = a.Name();
    std::string_view nameB = b.Name();
    if (topLevel) {
        // The reader keeps the blanks after a later top-level name.
        nameA = nameA.substr(0, nameA.find_last_not_of(' ') + 1);
        nameB = nameB.substr(0, nameB.find_last_not_of(' ') + 1);
    }
    if (nameA != nameB || a.NumParameters() != b.NumParameters()) {
        return false;
    }
    for (int i = 0; i < a.NumParameters(); ++i) {
        if (a.ParameterView(i) != b.ParameterView(i)) {
            return false;
        }
    }
    const int countA = a.HasChildren() ? a.Children()->Count() : 0;
    const int countB = b.HasChildren() ? b.Children()->Count() : 0;
    return countA == countB;
}

// Compares two trees without recursion.
void CheckSameTree(const corvane::TSItemCollection& a, const corvane::TSItemCollection& b) {
    if (a.Count() != b.Count()) {
        Mismatch("number of top-level items");
    }
    std::vector<std::pair<const corvane::TSFileItem*, const corvane::TSFileItem*>> pending;
    for (int i = 1; i <= a.Count(); ++i) {
        if (!SameItem(*a.Item(i), *b.Item(i), true)) {
            Mismatch("tree");
        }
        pending.emplace_back(a.Item(i).get(), b.Item(i).get());
    }
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (!x->HasChildren()) {
            continue;
        }
        for (int i = 1; i <= x->Children()->Count(); ++i) {
            const auto& cx = *x->Children()->Item(i);
            const auto& cy = *y->Children()->Item(i);
            if (!SameItem(cx, cy, false)) {
                Mismatch("tree");
            }
            pending.emplace_back(&cx, &cy);
        }
    }
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string name = kNames[data[0] % kNames.size()];
    // A Windows-style name, as the application gives them.
    const std::string input = Folder() + "\\" + name;
    const std::string output = Folder() + "\\out\\" + name;
    fuzz_support::WriteInput(Folder() + "/" + name, data, size);
    const std::string again = Folder() + "\\again\\" + name;
    corvane::TSFile first(input);
    const bool read = LoadTolerant(first);
    first.SetFileName(output);
    try {
        first.Save();
    } catch (const std::invalid_argument&) {
        return 0;  // a tree the file cannot hold is refused, not written
    }
    corvane::TSFile second(output);
    const bool readAgain = LoadTolerant(second);
    if (!read) {
        return 0;  // what was read before the error is no whole tree
    }
    if (first.FirstElement().starts_with('#') && first.Items()->Count() < 2) {
        return 0;  // a list file's count without any element cannot be written
    }
    if (!readAgain) {
        Mismatch("list file's count");
    }
    CheckSameTree(*first.Items(), *second.Items());
    second.SetFileName(again);
    second.Save();
    if (Bytes(Folder() + "/out/" + name) != Bytes(Folder() + "/again/" + name)) {
        Mismatch("saved bytes");
    }
    return 0;
}
