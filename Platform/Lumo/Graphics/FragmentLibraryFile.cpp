#include <Lumo/Devices/ParameterValues.h>
#include <Lumo/Graphics/FragmentLibraryFile.h>
#include <Lumo/Graphics/ScriptFragment.h>
#include <Lumo/Graphics/ScriptFragmentHelper.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

namespace Lumo::Graphics {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::Intern;
using Lumo::Objects::UString;

const char* FragmentLibraryFile::FileName() {
    return "LumoFragmentsLibrary-4_0.lumof";
}

namespace {

std::wstring Widen(std::string_view s) {
    // Fragment files are UTF-8; names and commands are ASCII, texts may not be.
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        unsigned cp = c;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra)
            cp = c & (0x3F >> extra);
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        out.push_back(static_cast<wchar_t>(cp));
    }
    return out;
}

/// Splits on blanks, keeping "quoted text" together (without the quotes).
bool Tokens(std::string_view line, std::vector<std::string>& out) {
    out.clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size())
            break;
        if (line[i] == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos)
                return false;
            out.emplace_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
                ++end;
            out.emplace_back(line.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

bool SetDefault(Lumo::Devices::AFragment& f, int index, Lumo::Devices::EParameterType type, const std::string& text) {
    using namespace Lumo::Devices;
    float v[4] = {0, 0, 0, 0};
    int n = 0;
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, ',')) {
        if (n == 4)
            return false; // more values than any parameter holds
        float value = 0;
        if (type == eParamInt && (part == "true" || part == "false")) {
            value = part == "true" ? 1.0f : 0.0f;
        } else {
            try {
                size_t used = 0;
                value = std::stof(part, &used);
                if (used != part.size() || !std::isfinite(value))
                    return false;
            } catch (...) {
                return false;
            }
        }
        v[n++] = value;
    }
    if (type == eParamInt && (v[0] < -2147483648.0f || v[0] >= 2147483648.0f || v[0] != std::floor(v[0])))
        return false;
    ParameterValues& d = f.Defaults();
    switch (type) {
    case eParamFloat:
        return n == 1 && d.SetFloat(index, v[0]);
    case eParamFloat2:
        return n == 2 && d.SetFloat2(index, {v[0], v[1]});
    case eParamFloat3:
        return n == 3 && d.SetFloat3(index, {v[0], v[1], v[2]});
    case eParamFloat4:
        return n == 4 && d.SetFloat4(index, {v[0], v[1], v[2], v[3]});
    case eParamInt:
        return n == 1 && d.SetInt(index, int(v[0]));
    default:
        return false;
    }
}

} // namespace

int FragmentLibraryFile::Parse(std::string_view text, std::string* error) {
    using namespace Lumo::Devices;
    std::vector<AutoPtr<ScriptFragment>> made;
    AutoPtr<ScriptFragment> current;
    enum { eTop, eFragment, eCommands, eProgram } mode = eTop;
    std::string program;
    std::vector<std::string> t;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        if (error)
            *error = "line " + std::to_string(lineNo) + ": " + why;
        return -1;
    };
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (mode == eProgram) {
            if (line.substr(0, 10) == "endprogram") {
                current->Program(program);
                mode = eFragment;
            } else {
                program.append(line);
                program.push_back('\n');
            }
            if (end == text.size())
                break;
            continue;
        }
        if (!Tokens(line, t))
            return fail("unclosed quote");
        if (t.empty() || t[0][0] == '#') {
            if (end == text.size())
                break;
            continue;
        }
        const std::string& key = t[0];
        if (mode == eTop) {
            if (key != "fragment" || t.size() != 2)
                return fail("expected: fragment <name>");
            current = ScriptFragment::Make(Intern(Widen(t[1]).c_str()));
            mode = eFragment;
        } else if (mode == eCommands) {
            if (key == "end") {
                mode = eFragment;
            } else {
                ScriptFragment::Command c;
                for (auto& s : t)
                    c.push_back(Widen(s));
                current->AddCommand(std::move(c));
            }
        } else if (key == "description") {
            std::string d;
            for (size_t i = 1; i < t.size(); ++i)
                d += (i > 1 ? " " : "") + t[i];
            current->Description(Widen(d));
        } else if (key == "level") {
            if (t.size() != 2)
                return fail("expected: level <number>");
            try {
                size_t used = 0;
                const int level = std::stoi(t[1], &used);
                if (used != t[1].size())
                    return fail("bad level");
                current->RequiredFeatureLevel(level);
            } catch (...) {
                return fail("bad level");
            }
        } else if (key == "input" || key == "output") {
            if (t.size() < 2 || t.size() > 4)
                return fail("expected: " + key + " <name> [type [default]]");
            EParameterType type = eParamNone;
            if (t.size() >= 3) {
                const std::string& k = t[2];
                if (k == "bool" || k == "int")
                    type = eParamInt;
                else if (k == "float")
                    type = eParamFloat;
                else if (k == "float2")
                    type = eParamFloat2;
                else if (k == "float3")
                    type = eParamFloat3;
                else if (k == "float4")
                    type = eParamFloat4;
                else if (k != "object" && k != "text")
                    return fail("unknown type " + k);
            }
            UString* name = Intern(Widen(t[1]).c_str());
            if (key == "output") {
                current->AddOutput(name, type);
            } else {
                const int index = current->AddInput(name, type);
                if (t.size() == 4 && type != eParamNone && !SetDefault(*current, index, type, t[3]))
                    return fail("bad default for " + t[1]);
                if (t.size() == 4 && t[2] == "text")
                    current->SetArgument(name, FragmentValue::Text(Widen(t[3])));
            }
        } else if (key == "commands") {
            mode = eCommands;
        } else if (key == "program") {
            program.clear();
            mode = eProgram;
        } else if (key == "endfragment") {
            made.push_back(current);
            current = nullptr;
            mode = eTop;
        } else {
            return fail("unknown keyword " + key);
        }
        if (end == text.size())
            break;
    }
    if (mode != eTop)
        return fail("the last fragment is not closed");
    for (auto& f : made)
        ScriptFragmentHelper::RegisterFragment(f);
    return int(made.size());
}

int FragmentLibraryFile::Load(const std::filesystem::path& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot read " + path.string();
        return -1;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    std::string why;
    const int n = Parse(text, &why);
    if (n < 0 && error)
        *error = path.string() + ": " + why;
    return n;
}

} // namespace Lumo::Graphics
