#include "documents/ReplaceStock.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>

#include "common/Text.h"
#include "corvane/TSFile.h"
#include "corvane/TSFileItem.h"
#include "documents/ConsistEditor.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "validation/CheckSupport.h"

namespace vantor {

namespace {

// A consist read by the search, its tree already changed in memory.
struct PendingConsist {
    std::string name;
    std::string path;
    std::unique_ptr<corvane::TSFile> file;
    std::vector<int> rows;
};

bool SameName(std::string_view a, std::string_view b) {
    return AsciiLower(std::string(a)) == AsciiLower(std::string(b));
}

bool Holds(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& held) { return SameName(held, name); });
}

std::string ConsistName(const std::string& path) {
    std::string name = AnyFileNamePart(path);
    name.resize(name.size() >= 4 ? name.size() - 4 : 0);
    return name;
}

// Points each vehicle of the old stock at the new one and returns their rows.
std::vector<int> ReplaceVehicles(const corvane::TSFile& file, const ReplaceRequest& request,
                                 const validation::StockIdentity& identity) {
    const corvane::TSFileItemPtr cfg = file.Items()->Item(1)->Children()->Item(1);
    std::vector<int> rows;
    int row = 0;
    for (int position = cfg->ChildIndex("Engine|Wagon", 0); position != 0;
         position = cfg->ChildIndex("Engine|Wagon", position)) {
        ++row;
        const corvane::TSFileItemPtr vehicle = cfg->Children()->Item(position);
        if (!validation::RefersTo(*vehicle, identity)) {
            continue;
        }
        const corvane::TSFileItemPtr data = validation::VehicleData(*vehicle);
        vehicle->SetName(request.to.type);
        data->SetName(request.to.type + "Data");
        data->SetNumParameters(2);
        data->SetParameter(0, request.to.shape);
        data->SetParameter(1, request.to.folder);
        rows.push_back(row);
    }
    return rows;
}

// Returns a folder beside the consists folder that does not exist yet.
std::string NewBackupFolder(const std::string& installFolder, const std::string& time) {
    const std::string base = installFolder + "\\Trains\\Consists backup " +
                             (time.empty() ? platform::LocalTimeText("%Y-%m-%d %H.%M.%S") : time);
    std::string folder = base;
    for (int n = 2; platform::FolderExists(folder) || platform::FileExists(folder); ++n) {
        folder = base + " (" + std::to_string(n) + ")";
    }
    return folder;
}

// Copies every pending consist into a new backup folder; throws when one cannot be copied.
std::string BackUp(const std::string& installFolder, const std::string& time,
                   const std::vector<PendingConsist>& pending) {
    const std::string folder = NewBackupFolder(installFolder, time);
    platform::CreateFolders(folder);
    std::string real = platform::HostPath(folder);
    for (const PendingConsist& consist : pending) {
        platform::FileCopy(consist.file->FileName(), real + "/" + AnyFileNamePart(consist.path));
    }
    return real;
}

std::string RowList(const std::vector<int>& rows) {
    std::string text;
    for (const int row : rows) {
        text += (text.empty() ? "" : ", ") + std::to_string(row);
    }
    return text;
}

}  // namespace

std::optional<StockRow> StockArgument(std::string_view text) {
    const std::size_t slash = text.find_last_of("\\/");
    const std::size_t dot = text.rfind('.');
    if (slash == std::string_view::npos || slash == 0 || dot == std::string_view::npos ||
        dot < slash + 2 || text.find_first_of("\\/") != slash) {
        return std::nullopt;
    }
    const std::string folder(text.substr(0, slash));
    if (folder == "." || folder == "..") {
        return std::nullopt;
    }
    const std::string extension = AsciiLower(std::string(text.substr(dot + 1)));
    if (extension != "eng" && extension != "wag") {
        return std::nullopt;
    }
    return StockRow{extension == "eng" ? "Engine" : "Wagon", folder,
                    std::string(text.substr(slash + 1, dot - slash - 1))};
}

std::optional<StockRow> StockFromPath(std::string_view path) {
    const std::string folder = AnyFileNamePart(AnyParentFolder(path));
    const std::string file = AnyFileNamePart(path);
    if (folder.empty()) {
        return std::nullopt;
    }
    return StockArgument(folder + "\\" + file);
}

std::string StockText(const StockRow& stock) {
    return stock.folder + "\\" + stock.shape + (stock.type == "Engine" ? ".eng" : ".wag");
}

std::string StockNameProblem(const StockRow& stock) {
    for (const auto& [what, name] :
         {std::pair<const char*, const std::string&>{"The stock folder", stock.folder},
          {"The stock file", stock.shape}}) {
        if (std::string problem = NameProblem(what, name); !problem.empty()) {
            return problem;
        }
        if (name.find_first_of("\"\t\r\n") != std::string::npos) {
            return std::string(what) + " \"" + name +
                   "\" holds a quote character or a line break, which a consist file cannot "
                   "hold";
        }
    }
    if (stock.shape.find(' ') != std::string::npos) {
        return "The stock file \"" + stock.shape +
               "\" holds a blank: a consist file would give it back as two words";
    }
    const auto blanks = std::count(stock.folder.begin(), stock.folder.end(), ' ');
    if (blanks > 1 ||
        (!stock.folder.empty() && (stock.folder.front() == ' ' || stock.folder.back() == ' '))) {
        return "The stock folder \"" + stock.folder +
               "\" holds more than one blank or blanks at its ends: a consist file would not "
               "give it back";
    }
    return {};
}

std::string ReplaceProblem(const std::string& installFolder, const ReplaceRequest& request) {
    for (const StockRow* stock : {&request.from, &request.to}) {
        if (stock->type != "Engine" && stock->type != "Wagon") {
            return "\"" + stock->type + "\" is neither an engine nor a wagon";
        }
        if (stock->folder.empty() || stock->shape.empty()) {
            return "A stock item needs a folder and a file name";
        }
    }
    if (request.from.type != request.to.type && !request.allowKindChange) {
        const auto kind = [](const StockRow& stock) {
            return stock.type == "Engine" ? std::string("an engine") : std::string("a wagon");
        };
        std::string text = kind(request.from) + " can only be replaced by " + kind(request.from) +
                           ": " + StockText(request.to) + " is " + kind(request.to);
        text[0] = 'A';
        return text;
    }
    if (SameName(StockText(request.from), StockText(request.to))) {
        return StockText(request.to) + " is the stock being replaced";
    }
    if (std::string problem = StockNameProblem(request.to); !problem.empty()) {
        return problem;
    }
    if (!platform::FileExists(StockFilePath(installFolder, request.to))) {
        return StockText(request.to) + " is not installed in " + installFolder +
               "\\Trains\\Trainset";
    }
    return {};
}

std::vector<std::string> ConsistsUsing(const std::string& installFolder, const StockRow& stock) {
    std::vector<std::string> names;
    validation::ConsistWalk walk;
    walk.uses = [&](const std::string& path, std::unique_ptr<corvane::TSFile>) {
        names.push_back(ConsistName(path));
    };
    validation::FindConsistsUsing(installFolder, StockFilePath(installFolder, stock), walk);
    return names;
}

ReplaceResult ReplaceStock(const std::string& installFolder, const ReplaceRequest& request) {
    if (std::string problem = ReplaceProblem(installFolder, request); !problem.empty()) {
        throw std::invalid_argument(problem);
    }
    const std::string stockPath = StockFilePath(installFolder, request.from);
    const validation::StockIdentity identity = validation::IdentityOf(stockPath);
    ReplaceResult result;
    std::vector<PendingConsist> pending;
    validation::ConsistWalk walk;
    walk.uses = [&](const std::string& path, std::unique_ptr<corvane::TSFile> file) {
        std::string name = ConsistName(path);
        if (request.only && !Holds(*request.only, name)) {
            return;
        }
        if (Holds(request.openEdited, name)) {
            result.skipped.push_back({name, "open in an editor with unsaved changes"});
        } else if (file->Truncated()) {
            result.skipped.push_back({name, "ends inside an item, so a save would lose its end"});
        } else {
            try {
                std::vector<int> rows = ReplaceVehicles(*file, request, identity);
                pending.push_back({std::move(name), path, std::move(file), std::move(rows)});
            } catch (const std::exception& error) {
                result.unreadable.push_back({name, validation::ErrorText(error)});
            }
        }
    };
    walk.unreadable = [&](const std::string& path, const std::exception& error) {
        const std::string name = ConsistName(path);
        if (!request.only || Holds(*request.only, name)) {
            result.unreadable.push_back({name, validation::ErrorText(error)});
        }
    };
    validation::FindConsistsUsing(installFolder, stockPath, walk);

    if (request.dryRun || pending.empty()) {
        for (PendingConsist& consist : pending) {
            result.changed.push_back({consist.name, consist.rows});
        }
        return result;
    }
    try {
        result.backupFolder = BackUp(installFolder, request.backupTime, pending);
    } catch (const std::exception& error) {
        // Nothing is written without its backup.
        for (const PendingConsist& consist : pending) {
            result.failed.push_back({consist.name, std::string("not backed up: ") + error.what()});
        }
        return result;
    }
    for (PendingConsist& consist : pending) {
        try {
            consist.file->Save();
            result.changed.push_back({consist.name, consist.rows});
        } catch (const std::exception& error) {
            result.failed.push_back({consist.name, error.what()});
        }
    }
    return result;
}

std::string KindChangeQuestion(const ReplaceRequest& request) {
    return StockText(request.from) + " is " +
           (request.from.type == "Engine" ? "an engine" : "a wagon") + " and " +
           StockText(request.to) + " is " +
           (request.to.type == "Engine" ? "an engine" : "a wagon") + ".  Replace it all the same?";
}

std::optional<ReplaceResult> ReplaceAfterAsking(const std::string& installFolder,
                                                ReplaceRequest request, Prompter& prompts) {
    if (request.from.type != request.to.type) {
        if (prompts.Message(MessageIcon::Question, kReplaceTitle, KindChangeQuestion(request),
                            MessageButtons::YesNo) != Answer::Yes) {
            return std::nullopt;
        }
        request.allowKindChange = true;
    }
    if (std::string problem = ReplaceProblem(installFolder, request); !problem.empty()) {
        prompts.Message(MessageIcon::Critical, kReplaceTitle, problem + "; nothing was changed.");
        return std::nullopt;
    }
    ReplaceResult result = ReplaceStock(installFolder, request);
    prompts.Message(result.failed.empty() ? MessageIcon::Information : MessageIcon::Critical,
                    kReplaceTitle, ReplaceSummary(request, result));
    return result;
}

std::string ReplaceSummary(const ReplaceRequest& request, const ReplaceResult& result) {
    std::string text;
    const std::string verb = request.dryRun ? "would change" : "changed";
    for (const ConsistRows& consist : result.changed) {
        text += consist.name + ": " + verb + " row" + (consist.rows.size() == 1 ? " " : "s ") +
                RowList(consist.rows) + "\n";
    }
    for (const auto& [notes, what] :
         {std::pair<const std::vector<ConsistNote>&, const char*>{result.skipped, "skipped"},
          {result.unreadable, "not read"},
          {result.failed, "not written"}}) {
        for (const ConsistNote& note : notes) {
            text += note.name + ": " + what + ", " + note.reason + "\n";
        }
    }
    if (result.changed.empty() && result.failed.empty()) {
        text += "No consist " + std::string(request.dryRun ? "would change" : "was changed") +
                ": none that can be changed uses " + StockText(request.from) + ".\n";
    }
    if (!result.backupFolder.empty()) {
        text += "The consists as they were are in " + result.backupFolder +
                "; copy them back into the consists folder to undo.\n";
    }
    return text;
}

}  // namespace vantor
