// TSFile::LoadAnyForm: text through the text reader, binary and compressed files
// through the token reader (BinaryReader.h), compressed text through the text
// reader again, from memory.

#include <stdexcept>
#include <string>
#include <system_error>

#include "BinaryReader.h"
#include "Files.h"
#include "Reader.h"
#include "Simis.h"
#include "corvane/TSFile.h"

namespace corvane {

namespace {

// Reads the whole file from its start.
std::string ReadAll(files::InputFile& file, std::uint64_t length) {
    std::string bytes;
    std::size_t size = 0;
    bytes.resize(length > 0 ? static_cast<std::size_t>(length) : 4096);
    while (true) {
        size += file.Read(bytes.data() + size, bytes.size() - size);
        if (size < bytes.size()) {
            break;
        }
        bytes.resize(bytes.size() * 2);
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace

void TSFile::LoadAnyForm() {
    std::uint64_t length = 0;
    files::InputFile file = files::OpenNamed(m_fileName, length);
    if (!file.IsOpen()) {
        m_form = FileForm::Text;
        m_truncated = false;
        return;  // no file of that name: nothing is read
    }
    std::string bytes;
    simis::Wrapper wrapper = simis::Wrapper::None;
    std::size_t headerAt = 0;
    try {
        char head[32];
        const std::size_t got = file.ReadAt(head, sizeof head, 0);
        wrapper = simis::WrapperOf(std::string_view(head, got), headerAt);
        if (wrapper != simis::Wrapper::None) {
            bytes = ReadAll(file, length);
        }
    } catch (const std::system_error& e) {
        throw std::system_error(e.code(), "Cannot read " + m_fileName);
    }
    file = files::InputFile();
    if (wrapper == simis::Wrapper::None) {
        Load();
        return;
    }
    m_truncated = false;
    TSItemCollection read;
    if (wrapper == simis::Wrapper::Binary) {
        m_form = FileForm::Binary;
        BinaryReader(bytes, m_fileName, "")
            .Run(headerAt + 2 * simis::kHeaderSize, FirstElement(), read);
    } else {
        m_form = FileForm::Compressed;
        const std::string inflated = simis::Inflate(bytes, headerAt, m_fileName);
        const std::string_view jinx = std::string_view(inflated).substr(0, simis::kHeaderSize);
        if (jinx.size() < 8 || !jinx.starts_with("JINX0") || (jinx[7] != 'b' && jinx[7] != 't')) {
            throw std::runtime_error(m_fileName +
                                     ": the inflated data holds neither text nor a token stream");
        }
        if (jinx[7] == 'b') {
            BinaryReader(inflated, m_fileName, " of the inflated data")
                .Run(simis::kHeaderSize, FirstElement(), read);
        } else {
            // Text behind the header it had before it was compressed.
            const std::string text = "SIMISA@@@@@@@@@@" + inflated;
            files::InputFile memory = files::InputFile::InMemory(text);
            Reader reader(memory, text.size(), read, m_status);
            reader.Run(FirstElement());
            m_truncated = reader.EndedInsideItem();
        }
    }
    for (const auto& item : read) {
        m_items->Add(item);
    }
    if (m_status) {
        m_status("load", 100);
    }
}

}  // namespace corvane
