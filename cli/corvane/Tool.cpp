#include "Tool.h"

#include <exception>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "JsonTree.h"
#include "corvane/TSFile.h"

namespace corvane::cli {

namespace {

// Where a command prints.
struct Streams {
    std::ostream& out;
    std::ostream& err;
};

constexpr std::string_view kUsage =
    "Usage: corvane COMMAND ARGUMENTS\n"
    "Shows and rewrites Microsoft Train Simulator text files.\n"
    "\n"
    "Commands:\n"
    "  tree [--events] FILE  Print the file's item tree as JSON:\n"
    "                        {\"filetype\", \"subfiletype\", \"truncated\", \"items\":\n"
    "                        [{\"name\", \"params\", \"children\"}...]}. With --events, print\n"
    "                        each progress event to standard error as \"status load N\".\n"
    "  save [--text] IN OUT  Read IN and write its tree to OUT in the simulator's text\n"
    "                        layout. A binary or compressed IN is written only with\n"
    "                        --text.\n"
    "  types PATH            Print the file type, sub-type, expected first element and\n"
    "                        header line that PATH's name selects (the file need not exist).\n"
    "  stat FILE             Print the number of items, parameters and levels of the tree,\n"
    "                        the file's size in bytes and whether it is truncated.\n"
    "  --help                Show this text.\n"
    "  --version             Show the library's version.\n"
    "\n"
    "The file type comes from the name: the extension, and for .dat files the name\n"
    "after the last \"\\\" or \"/\". A file that ends inside an item is truncated: tree and\n"
    "stat show what was read, set \"truncated\" to true and say so on standard error.\n"
    "Binary and compressed files (token streams, plain or zlib-compressed) read into\n"
    "the tree their text form gives; save refuses them without --text, writing nothing.\n"
    "Exit status: 0 success, 1 the file could not be read or written, 2 wrong\n"
    "arguments.\n";

int Usage(const Streams& io, const std::string& problem) {
    io.err << "corvane: " << problem << "\n\n" << kUsage;
    return 2;
}

// Returns the path of an existing file named as given or Windows-style ("\"
// separating folders), as the library opens it; throws when there is none.
std::string ExistingFile(const std::string& name) {
    // Names are UTF-8 text, made into paths as such: the narrow form of a path
    // is in the ANSI code page on Windows, which cannot name every file.
    const auto path = [](const std::string& text) {
        return std::filesystem::path(std::u8string(text.begin(), text.end()));
    };
    std::error_code ec;
    if (std::filesystem::is_regular_file(path(name), ec)) {
        return name;
    }
    std::string native = name;
    for (char& c : native) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (!std::filesystem::is_regular_file(path(native), ec)) {
        throw std::runtime_error("No file at " + name);
    }
    return native;
}

// Loads a text file, reporting a missing one as an error.
void LoadExisting(corvane::TSFile& file) {
    ExistingFile(file.FileName());
    file.Load();
}

// Loads a file of any form, reporting a missing one as an error.
void LoadExistingAnyForm(corvane::TSFile& file) {
    ExistingFile(file.FileName());
    file.LoadAnyForm();
}

// Throws when the file Load read is binary or compressed, which only
// LoadAnyForm reads.
void RequireText(const corvane::TSFile& file) {
    switch (file.Form()) {
        case corvane::FileForm::Binary:
            throw std::runtime_error(file.FileName() +
                                     " is a binary file, which corvane cannot read");
        case corvane::FileForm::Compressed:
            throw std::runtime_error(file.FileName() +
                                     " is a compressed file, which corvane cannot read");
        case corvane::FileForm::Text:
            break;
    }
}

// Says on standard error that the file ended inside an item.
void WarnIfTruncated(const Streams& io, const corvane::TSFile& file) {
    if (file.Truncated()) {
        io.err << "corvane: " << file.FileName()
               << " ends inside an item: it is truncated; the tree holds what was read\n";
    }
}

int Tree(const Streams& io, const std::vector<std::string>& args) {
    bool events = false;
    std::string path;
    for (const auto& a : args) {
        if (a == "--events") {
            events = true;
        } else if (path.empty() && !(a.size() > 1 && a.front() == '-' && a != "-")) {
            path = a;
        } else {
            return Usage(io, "tree takes [--events] FILE");
        }
    }
    if (path.empty()) {
        return Usage(io, "tree takes [--events] FILE");
    }
    corvane::TSFile file(path);
    if (events) {
        file.OnStatus([&io](const std::string& message, std::int32_t number) {
            io.err << "status " << message << ' ' << number << '\n';
        });
    }
    std::string error;
    try {
        LoadExistingAnyForm(file);
    } catch (const std::exception& e) {
        error = e.what();
    }
    io.out << "{\"filetype\":" << JsonString(file.Filetype())
           << ",\"subfiletype\":" << JsonString(file.SubFileType())
           << ",\"truncated\":" << (file.Truncated() ? "true" : "false") << ",\"items\":";
    WriteItemsJson(io.out, *file.Items());
    if (!error.empty()) {
        io.out << ",\"error\":" << JsonString(error);
    }
    io.out << "}\n";
    WarnIfTruncated(io, file);
    if (!error.empty()) {
        io.err << "corvane: " << error << '\n';
        return 1;
    }
    return 0;
}

int Save(const Streams& io, std::vector<std::string> args) {
    const bool anyForm = !args.empty() && args.front() == "--text";
    if (anyForm) {
        args.erase(args.begin());
    }
    if (args.size() != 2) {
        return Usage(io, "save takes [--text] IN OUT");
    }
    corvane::TSFile file(args[0]);
    if (anyForm) {
        LoadExistingAnyForm(file);
    } else {
        LoadExisting(file);
        RequireText(file);
    }
    WarnIfTruncated(io, file);
    file.SetFileName(args[1]);
    file.Save();
    return 0;
}

int Types(const Streams& io, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return Usage(io, "types takes PATH");
    }
    const corvane::TSFile file(args[0]);
    io.out << "{\"filetype\":" << JsonString(file.Filetype())
           << ",\"subfiletype\":" << JsonString(file.SubFileType())
           << ",\"firstelement\":" << JsonString(file.FirstElement())
           << ",\"firstline\":" << JsonString(file.FirstLine()) << "}\n";
    return 0;
}

int Stat(const Streams& io, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return Usage(io, "stat takes FILE");
    }
    corvane::TSFile file(args[0]);
    LoadExistingAnyForm(file);
    WarnIfTruncated(io, file);
    const TreeStats stats = CountTree(*file.Items());
    const auto bytes = std::filesystem::file_size(ExistingFile(args[0]));
    io.out << "{\"items\":" << stats.items << ",\"parameters\":" << stats.parameters
           << ",\"depth\":" << stats.depth << ",\"bytes\":" << bytes
           << ",\"truncated\":" << (file.Truncated() ? "true" : "false") << "}\n";
    return 0;
}

}  // namespace

int RunCorvane(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const Streams io{out, err};
    if (args.empty()) {
        return Usage(io, "no command given");
    }
    const std::string command = args.front();
    args.erase(args.begin());
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            io.out << kUsage;
            return 0;
        }
        if (command == "--version") {
            io.out << corvane::TSFile::About() << '\n';
            return 0;
        }
        if (command == "tree") {
            return Tree(io, args);
        }
        if (command == "save") {
            return Save(io, args);
        }
        if (command == "types") {
            return Types(io, args);
        }
        if (command == "stat") {
            return Stat(io, args);
        }
        return Usage(io, "unknown command \"" + command + "\"");
    } catch (const std::exception& e) {
        io.out.flush();
        io.err << "corvane: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace corvane::cli
