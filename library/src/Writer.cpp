#include "Writer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include "LoadedTree.h"
#include "Text.h"
#include "corvane/TSFileItem.h"

namespace corvane {

namespace {

constexpr std::size_t kFlushAt = 1 << 20;

// Deeper levels are indented as far as this, so that the output grows with the
// tree's size and not with the square of its depth.
constexpr std::size_t kMaxIndent = 32;

// Items of these names keep their parameters on the opening line, before their children.
bool ParametersFirst(std::string_view name) {
    static constexpr std::array<std::string_view, 5> kNames = {
        "SignalUnit", "SignalUnits", "TrainCfg", "Traffic_Definition", "Service_Definition"};
    for (std::string_view n : kNames) {
        if (n == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

Writer::Writer(std::FILE* file) : m_file(file) {
    m_out.reserve(kFlushAt + 4096);
}

void Writer::Flush() {
    if (!m_out.empty() && std::fwrite(m_out.data(), 1, m_out.size(), m_file) != m_out.size()) {
        throw std::system_error(errno ? errno : EIO, std::generic_category(), "Cannot write");
    }
    m_out.clear();
}

void Writer::WriteText(std::string_view text, bool newLine) {
    text::AppendUtf16Le(m_out, text);
    if (newLine) {
        text::AppendUtf16Le(m_out, "\r\n");
    }
    if (m_out.size() >= kFlushAt) {
        Flush();
    }
}

void Writer::WriteIndent(std::size_t level) {
    for (std::size_t i = 0; i < level && i < kMaxIndent; ++i) {
        m_out.push_back('\t');
        m_out.push_back('\0');
    }
}

void Writer::WriteHeader(std::string_view headerLine) {
    m_out.push_back(static_cast<char>(0xFF));
    m_out.push_back(static_cast<char>(0xFE));
    WriteText(headerLine, true);
    WriteText("", true);
}

Writer::Node Writer::Children::At(int position) const {
    if (loaded != nullptr) {
        return {nullptr, loaded + (position - 1)};
    }
    return {collection->Item(position).get(), nullptr};
}

// Children not yet made into items are read where the load left them, so that
// saving a loaded file does not make an object of every item.
Writer::Children Writer::ChildrenOf(Node node) {
    const TSItemCollection* collection = nullptr;
    const LoadedChildren* compact = nullptr;
    if (node.loaded != nullptr) {
        compact = node.loaded->children;
    } else {
        collection = node.item->m_children.get();
        compact = node.item->m_loaded;
    }
    if (collection != nullptr) {
        return {collection, nullptr, collection->Count()};
    }
    if (compact != nullptr) {
        return {nullptr, compact->Items(), static_cast<int>(compact->count)};
    }
    return {nullptr, nullptr, 0};
}

const std::string& Writer::NameOf(Node node) {
    return node.loaded != nullptr ? *node.loaded->name : node.item->Name();
}

std::string Writer::ParameterText(Node node) {
    std::string p;
    const auto append = [&p](std::string_view v) {
        p.push_back(' ');
        if (v.find(' ') != std::string_view::npos && v.front() != '"' && v.back() != '"') {
            p.append("\"").append(v).append("\"");
        } else {
            p.append(v);
        }
    };
    if (node.loaded != nullptr) {
        const std::uint32_t count = parameters::Count(node.loaded->parameters);
        for (std::uint32_t i = 0; i < count; ++i) {
            append(parameters::Unpack(node.loaded->parameters, i));
        }
    } else {
        const int count = node.item->NumParameters();
        for (int i = 0; i < count; ++i) {
            append(node.item->ParameterView(i));
        }
    }
    return p;
}

// Each item with children stays on a stack of our own until its closing line is
// written, so that trees of any depth are written without recursion. Names lose
// their trailing blanks, which the reader would add to again on every load, and
// the blanks inside a child's name become tabs. An empty item is written
// "Name ( )": a bare name would read back as a parameter.
void Writer::WriteItem(const TSFileItem& top, bool isLast, bool bareWhenEmpty) {
    struct Frame {
        Children children;
        std::string suffix;
        std::string parameters;
        int next;
        bool isLast;
        bool parametersFirst;
    };
    std::vector<Frame> open;

    auto begin = [&](Node node, std::string suffix, bool last, bool bare) {
        const std::size_t level = open.size();
        std::string parameters = ParameterText(node);
        const std::string& fullName = NameOf(node);
        std::string name(text::TrimTrailingBlanks(fullName));
        if (level > 0) {
            // A blank would end a child's name; the reader turns tabs in names into blanks.
            std::replace(name.begin(), name.end(), ' ', '\t');
        }
        WriteIndent(level);
        const Children children = ChildrenOf(node);
        if (children.count == 0) {
            if (parameters.empty() && bare) {
                WriteText(name + suffix, !last);
            } else {
                WriteText(name + " (" + parameters + " )" + suffix, !last);
            }
            return;
        }
        // Decided on the name as written, which a reload gives back with a blank added.
        // A nameless first child would take the opening line's last word for its name.
        const bool first =
            ParametersFirst(name) &&
            (parameters.empty() || !text::TrimTrailingBlanks(NameOf(children.At(1))).empty());
        WriteText(first ? name + " (" + parameters : name + " (", true);
        open.push_back(Frame{children, std::move(suffix), std::move(parameters), 1, last, first});
    };

    begin(Node{&top, nullptr}, {}, isLast, bareWhenEmpty);
    while (!open.empty()) {
        Frame& frame = open.back();
        const Children& children = frame.children;
        if (frame.next <= children.count) {
            const bool lastChild = frame.next == children.count;
            std::string childSuffix;
            if (lastChild && !frame.parametersFirst &&
                frame.parameters.find_first_not_of(' ') != std::string::npos) {
                childSuffix = frame.parameters;
            }
            const Node child = children.At(frame.next);
            ++frame.next;
            begin(child, std::move(childSuffix), false, false);
            continue;
        }
        WriteIndent(open.size() - 1);
        WriteText(")" + frame.suffix, frame.parametersFirst || !frame.isLast);
        open.pop_back();
    }
}

}  // namespace corvane
