// Loads arbitrary bytes in any form: a damaged binary or compressed file must be
// refused with std::runtime_error and leave no items, never crash or hang. A
// binary or compressed file that loads is saved as text, which must load again
// into the same tree, unless the tree holds what text cannot: parentheses or line
// breaks in a name or parameter, or a first item other than the one the file type
// expects, which the text reader skips to. The first byte picks the file type.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "corvane/TSFile.h"

namespace {

constexpr std::array<const char*, 3> kNames = {"in.s", "in.sd", "in.txt"};

using fuzz_support::Fail;

const std::string& Folder() {
    static const std::string folder = fuzz_support::Folder("corvane-fuzz-any-");
    return folder;
}

bool TextCannotHold(std::string_view text) {
    return text.find_first_of("()\r\n") != std::string_view::npos;
}

// Appends the tree's text form, names with their trailing blanks dropped, as the
// reader adds them to later top-level names. Returns false when text cannot hold it.
bool Describe(const corvane::TSItemCollection& items, std::string& out) {
    bool holdable = true;
    for (const auto& item : items) {
        const std::string& name = item->Name();
        holdable = holdable && !TextCannotHold(name);
        out.append(name.substr(0, name.find_last_not_of(' ') + 1)).append("<");
        for (int i = 0; i < item->NumParameters(); ++i) {
            holdable = holdable && !TextCannotHold(item->ParameterView(i));
            out.append(item->ParameterView(i)).append("|");
        }
        out.append(">{");
        if (item->HasChildren()) {
            holdable = Describe(*item->Children(), out) && holdable;
        }
        out.append("}");
    }
    return holdable;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string name = kNames[data[0] % kNames.size()];
    const std::string input = Folder() + "/" + name;
    fuzz_support::WriteInput(input, data, size);
    corvane::TSFile first(input);
    try {
        first.LoadAnyForm();
    } catch (const std::invalid_argument&) {
        return 0;  // a list file without its element name, as Load refuses it
    } catch (const std::runtime_error&) {
        if (first.Form() != corvane::FileForm::Text && first.Items()->Count() != 0) {
            Fail("a refused file left items");
        }
        return 0;
    }
    if (first.Form() == corvane::FileForm::Text) {
        return 0;  // text round trips are fuzz_load's
    }
    std::string a;
    const std::string expected = first.FirstElement().empty() ? "" : "shape";
    if (!Describe(*first.Items(), a) ||
        (first.Items()->Count() > 0 && first.Items()->Item(1)->Name() != expected)) {
        return 0;
    }
    first.SetFileName(Folder() + "/out-" + name);
    try {
        first.Save();
    } catch (const std::invalid_argument&) {
        return 0;  // a tree the file cannot hold is refused, not written
    }
    corvane::TSFile second(first.FileName());
    second.Load();
    std::string b;
    Describe(*second.Items(), b);
    if (a != b) {
        Fail("the text saved from a binary or compressed file reads into another tree");
    }
    return 0;
}
