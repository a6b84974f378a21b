#include "corvane/TSFile.h"

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "FileTypes.h"
#include "Files.h"
#include "Reader.h"
#include "Text.h"
#include "Writer.h"

namespace corvane {

TSFile::TSFile() : m_items(std::make_shared<TSItemCollection>()) {}

TSFile::TSFile(std::string fileName) : TSFile() {
    SetFileName(std::move(fileName));
}

TSFile::~TSFile() = default;

void TSFile::SetFileName(std::string fileName) {
    m_fileName = std::move(fileName);
    m_filetype = filetypes::FiletypeOf(m_fileName);
}

std::string TSFile::SubFileType() const {
    return filetypes::SubFileTypeOf(m_fileName, m_filetype);
}

std::string TSFile::FirstElement() const {
    return std::string(filetypes::FirstElementOf(m_filetype, SubFileType()));
}

std::string TSFile::FirstLine() const {
    std::string line(filetypes::kByteOrderChars);
    const std::string_view code = filetypes::HeaderCodeOf(m_filetype, SubFileType());
    if (!code.empty()) {
        line.append("SIMISA@@@@@@@@@@JINX0").append(code).append("______");
    }
    return line;
}

void TSFile::Load() {
    m_form = FileForm::Text;
    m_truncated = false;
    std::uint64_t length = 0;
    files::InputFile file = files::OpenNamed(m_fileName, length);
    if (!file.IsOpen()) {
        return;  // no file of that name: nothing is read
    }
    try {
        Reader reader(file, length, *m_items, m_status);
        m_form = reader.Form();
        try {
            reader.Run(FirstElement());
        } catch (...) {
            m_truncated = reader.EndedInsideItem();
            throw;
        }
        m_truncated = reader.EndedInsideItem();
    } catch (const std::system_error& e) {
        throw std::system_error(e.code(), "Cannot read " + m_fileName);
    }
    file = files::InputFile();
    if (m_status) {
        m_status("load", 100);
    }
}

void TSFile::Save() const {
    const std::string header = FirstLine().substr(filetypes::kByteOrderChars.size());
    const bool carSpawner = m_filetype + SubFileType() == "datcarspawn";
    // A list file opens with a bare count, which the reader expects as such.
    const bool listFile = FirstElement().starts_with('#');
    // A top-level name stands at the start of a line, where the reader takes a tab
    // for a blank: a name that begins with a tab would not load back.
    const int items = m_items->Count();
    for (int i = 1; i <= items; ++i) {
        const std::string& name = m_items->Item(i)->Name();
        if (name.starts_with('\t')) {
            throw std::invalid_argument("Cannot save " + m_fileName + ": the item name \"" + name +
                                        "\" begins with a tab, which the file cannot hold");
        }
    }
    files::ReplaceFile(files::NativePath(m_fileName), [&](std::FILE* file) {
        Writer writer(file);
        writer.WriteHeader(header);
        const int count = m_items->Count();
        for (int i = 1; i <= count; ++i) {
            writer.WriteItem(*m_items->Item(i), i == count, listFile && i == 1);
        }
        if (carSpawner) {
            writer.WriteText("", true);
            writer.WriteText(")", false);
        }
        writer.Flush();
    });
}

TSFileItemPtr TSFile::SearchFor(std::string_view fileName, std::string_view position,
                                std::string_view uid, const TSFileItemPtr& item) const {
    (void)position;  // accepted for compatibility; it never narrowed the search
    const TSItemCollection* start = m_items.get();
    if (item) {
        start = item->Children().get();
    }
    // Depth first, in collection order, with a stack of our own.
    std::vector<std::pair<const TSItemCollection*, int>> stack{{start, 0}};
    while (!stack.empty()) {
        auto& [collection, index] = stack.back();
        if (index >= collection->Count()) {
            stack.pop_back();
            continue;
        }
        const TSFileItemPtr& member = collection->Item(++index);
        if (member->Name() == "FileName" && !fileName.empty() &&
            member->ParameterView(0).find(fileName) != std::string_view::npos) {
            return member;
        }
        if (member->Name() == "UiD" && !uid.empty() &&
            member->ParameterView(0).find(uid) != std::string_view::npos) {
            return member;
        }
        if (member->HasChildren()) {
            stack.emplace_back(member->Children().get(), 0);
        }
    }
    return nullptr;
}

TSFileItemPtr TSFile::Child(std::string_view name) const {
    const std::string wanted = text::LowerCase(name);
    for (const auto& member : *m_items) {
        if (text::LowerCase(member->Name()) == wanted) {
            return member;
        }
    }
    return nullptr;
}

int TSFile::ChildIndex(std::string_view name, int afterIndex) const {
    return FindChildIndex(*m_items, name, afterIndex);
}

}  // namespace corvane
