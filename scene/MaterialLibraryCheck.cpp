#include "scene/MaterialLibraryCheck.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

#include "app/FileReading.h"

namespace frostline::scene {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

/// The file's lines as the importer's readers split them: a line also ends at
/// carriage return, form feed and NUL. A file that cannot be read has no lines.
std::vector<std::string> readLines(const std::string& path)
{
    const std::string content = readWholeFile(path).value_or(std::string());
    std::vector<std::string> lines(1);
    char previous = 0;
    for (const char c : content) {
        const bool secondHalfOfCrLf = c == '\n' && previous == '\r';
        previous = c;
        if (secondHalfOfCrLf) {
            continue;  // one line break, not two
        }
        if (c == '\n' || c == '\r' || c == '\f' || c == '\0') {
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

std::string trimmed(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool hasObjExtension(const std::string& path)
{
    if (path.size() < 4) {
        return false;
    }
    std::string extension = path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".obj";
}

/// The first statement of a material file that comes before its first
/// "newmtl", with its line number; empty when there is none.
std::string statementBeforeFirstMaterial(const std::string& materialPath)
{
    int number = 0;
    for (const std::string& text : readLines(materialPath)) {
        ++number;
        const std::string line = trimmed(text);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.compare(0, 6, "newmtl") == 0) {
            return {};
        }
        return "line " + std::to_string(number) + " '" + line.substr(0, 40) + "'";
    }
    return {};
}

/// Every material file the model may lead the importer to, in the model's order.
std::vector<std::string> namedMaterialFiles(const std::string& modelPath)
{
    const size_t slash = modelPath.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : modelPath.substr(0, slash + 1);
    const std::string ownMaterialFile = modelPath.substr(0, modelPath.size() - 4) + ".mtl";

    std::vector<std::string> files;
    const auto add = [&files](const std::string& path) {
        if (std::find(files.begin(), files.end(), path) == files.end() && isReadableFile(path)) {
            files.push_back(path);
        }
    };

    for (const std::string& text : readLines(modelPath)) {
        const std::string line = trimmed(text);
        if (line.compare(0, 6, "mtllib") != 0) {
            continue;
        }
        const std::string name = trimmed(line.substr(6));
        if (name.empty()) {
            continue;
        }
        // The whole rest of the line names one file; a missing one sends the
        // importer to the model's own material file instead.
        if (isReadableFile(folder + name)) {
            add(folder + name);
        } else {
            add(ownMaterialFile);
        }
        // A line naming several files: each of them, in case a reader splits it.
        std::istringstream words(name);
        for (std::string word; words >> word;) {
            add(folder + word);
        }
    }
    return files;
}

}  // namespace

std::string materialLibraryFault(const std::string& modelPath)
{
    if (!hasObjExtension(modelPath)) {
        return {};
    }
    for (const std::string& materialPath : namedMaterialFiles(modelPath)) {
        const std::string statement = statementBeforeFirstMaterial(materialPath);
        if (!statement.empty()) {
            return "material file " + materialPath + ": " + statement + " comes before its first newmtl";
        }
    }
    return {};
}

}  // namespace frostline::scene
