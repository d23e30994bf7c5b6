// sig2class: writes the class files of one release held in the JDK's ct.sym, a zip whose top-level
// folders are named after the releases that share their files (a folder "879A" serves releases
// 8, 7, 9 and 10) and hold MODULE/package/path/Name.sig.

#include "SigConverter.h"

#include <archive.h>
#include <archive_entry.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// No signature file comes near this; anything larger is not what we expect to read.
constexpr la_int64_t MAX_ENTRY_SIZE = 8 * 1024 * 1024;

struct Options
{
    std::string ctSym;
    char release = 0;
    std::string outDir;
    std::set<std::string> onlyModules;
    std::set<std::string> withoutModules;
};

struct Selected
{
    std::string module;
    std::string path; // package path and file name, e.g. java/lang/Object.sig
};

void usage()
{
    std::cerr
        << "usage: sig2class [--module NAME | --without-module NAME]... CT_SYM RELEASE OUTDIR\n"
           "  Converts the .sig files of RELEASE (one character, e.g. 8) into class files.\n";
}

bool parse(int argc, char **argv, Options &options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--module" || arg == "--without-module") && i + 1 < argc) {
            (arg == "--module" ? options.onlyModules : options.withoutModules).insert(argv[++i]);
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3 || positional[1].size() != 1)
        return false;
    options.ctSym = positional[0];
    options.release = positional[1][0];
    options.outDir = positional[2];
    return true;
}

std::vector<std::string> split(const std::string &path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

/// Picks the entries of the wanted release and modules; rejects paths that could leave OUTDIR.
bool select(const std::string &entry, const Options &options, Selected &selected)
{
    const std::vector<std::string> parts = split(entry);
    if (parts.size() < 3 || parts[0].find(options.release) == std::string::npos)
        return false;
    const std::string &last = parts.back();
    if (last.size() <= 4 || last.compare(last.size() - 4, 4, ".sig") != 0)
        return false;
    const std::string &module = parts[1];
    if ((!options.onlyModules.empty() && !options.onlyModules.count(module))
        || options.withoutModules.count(module))
        return false;
    std::string path;
    for (std::size_t i = 2; i < parts.size(); ++i) {
        if (parts[i].empty() || parts[i] == "." || parts[i] == "..")
            return false;
        path += (i > 2 ? "/" : "") + parts[i];
    }
    selected = { module, path };
    return true;
}

bool readEntry(archive *zip, la_int64_t size, SigConverter::Bytes &bytes)
{
    if (size < 0 || size > MAX_ENTRY_SIZE)
        return false;
    bytes.resize(std::size_t(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const la_ssize_t n = archive_read_data(zip, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

bool writeFile(const std::filesystem::path &file, const SigConverter::Bytes &bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return !ec && out.good();
}

/// One entry: converted and written, or an error message.
std::string
convertEntry(archive *zip, archive_entry *entry, const Selected &selected, const Options &options)
{
    SigConverter::Bytes sig;
    if (!readEntry(zip, archive_entry_size(entry), sig))
        return "cannot read the entry";
    const SigConverter::Result result = SigConverter::convert(sig);
    if (!result.error.empty())
        return result.error;
    const std::string classPath = selected.path.substr(0, selected.path.size() - 4);
    if (result.className != classPath)
        return "holds class " + result.className;
    if (!writeFile(std::filesystem::path(options.outDir) / (classPath + ".class"),
                   result.classFile))
        return "cannot write " + classPath + ".class";
    return {};
}

int run(const Options &options)
{
    std::unique_ptr<archive, decltype(&archive_read_free)> zip(archive_read_new(),
                                                               archive_read_free);
    archive_read_support_format_zip(zip.get());
    if (archive_read_open_filename(zip.get(), options.ctSym.c_str(), 64 * 1024) != ARCHIVE_OK) {
        std::cerr << "sig2class: " << options.ctSym << ": " << archive_error_string(zip.get())
                  << "\n";
        return 1;
    }
    std::set<std::string> seen;
    int converted = 0;
    int errors = 0;
    archive_entry *entry = nullptr;
    int status;
    while ((status = archive_read_next_header(zip.get(), &entry)) == ARCHIVE_OK) {
        const char *path = archive_entry_pathname(entry);
        const std::string name = path ? path : "";
        Selected selected;
        if (!select(name, options, selected))
            continue;
        const std::string error = seen.insert(selected.path).second
            ? convertEntry(zip.get(), entry, selected, options)
            : "the release holds this class twice";
        if (error.empty()) {
            ++converted;
        } else {
            std::cerr << "sig2class: " << name << ": " << error << "\n";
            ++errors;
        }
    }
    if (status != ARCHIVE_EOF) {
        std::cerr << "sig2class: " << options.ctSym << ": " << archive_error_string(zip.get())
                  << "\n";
        return 1;
    }
    std::cout << "sig2class: " << converted << " classes in " << options.outDir << "\n";
    return errors == 0 && converted > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        usage();
        return 2;
    }
    return run(options);
}
