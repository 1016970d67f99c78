#include "preview/preview.h"

#include "notes/find_notes.h"
#include "platform/platform.h"
#include "preview/command_line_product.h"
#include "preview/memory_log.h"
#include "preview/preview_arguments.h"
#include "preview/preview_runtime.h"
#include "preview/whole_file.h"
#include "preview/written_entries.h"
#include "run/failure.h"
#include "run/run_registry_update.h"
#include "store/store.h"
#include "store/store_registry.h"

namespace modRegistryUpdate::preview {
namespace {

constexpr const char* lineEnd = "\r\n";

/// The registry the preview starts from: the bytes of the `--registry` file, or none. The run's
/// save keeps them in memory; the file itself is never written.
class RegistryBefore : public store::StoreFile {
public:
    RegistryBefore(std::string path, std::string bytes)
        : path_(std::move(path)), bytes_(std::move(bytes)) {}

    std::string read() override { return bytes_; }
    void replace(const store::FileText&) override {}
    const std::string& path() const override { return path_; }

private:
    std::string path_;
    std::string bytes_;
};

void printLog(const std::vector<std::string>& lines, std::ostream& out) {
    // The lines are those the log file would hold, UTF-8, each with its CR LF.
    out << "registryErrorLog.txt: ";
    if (lines.empty())
        out << "empty" << lineEnd;
    else
        out << lines.size() << (lines.size() == 1 ? " line" : " lines") << lineEnd;
    for (const std::string& line : lines)
        out << line << lineEnd;
}

void printEntries(const std::string& sections, std::ostream& out) {
    out << "Entries written:" << (sections.empty() ? " none" : "") << lineEnd << sections;
}

/// Prints the notes on what the document silently does not do, after the entries; returns
/// whether there were any. Notes that cannot be read are reported, never fatal: the run is done.
bool printNotes(XmlService& xml, const PreviewArguments& asked, Runtime& runtime, std::ostream& out,
                std::ostream& errors) {
    try {
        const DocumentNotes found = findNotes(xml, asked.document, asked.product.name, runtime);
        for (const Note& note : found.notes)
            out << noteLine(note) << lineEnd;
        if (found.moreNotShown)
            out << "note: more notes than these " << mostNotes << " are not shown" << lineEnd;
        return !found.notes.empty();
    } catch (const Failure& failure) {
        errors << "RegistryUpdatePreview: notes not read: " << failure.what() << '\n';
        return false;
    }
}

} // namespace

int runPreview(const std::vector<std::string>& arguments, Runtime& platform, XmlService& xml,
               std::ostream& out, std::ostream& errors) {
    std::string error;
    const std::optional<PreviewArguments> asked = parsePreviewArguments(arguments, error);
    if (!asked) {
        errors << "RegistryUpdatePreview: " << error << '\n' << previewUsage << '\n';
        return previewUsageError;
    }
    // A slip of the command line must not cost the author the document itself.
    if (asked->registryAfter && isSameFile(*asked->registryAfter, asked->document)) {
        errors << "RegistryUpdatePreview: --output " << *asked->registryAfter
               << " is the document, which it would overwrite\n"
               << previewUsage << '\n';
        return previewUsageError;
    }
    std::string before;
    if (asked->registryBefore && !readWholeFile(*asked->registryBefore, before, error)) {
        errors << "RegistryUpdatePreview: cannot read " << *asked->registryBefore << ": " << error
               << '\n';
        return previewUsageError;
    }
    RegistryBefore file(asked->registryBefore.value_or(std::string()), std::move(before));
    store::Store store(file);
    try {
        // Read now, so that a malformed file stops the preview before the run, naming its line.
        store.findKey("");
    } catch (const store::StoreError& failure) {
        errors << "RegistryUpdatePreview: " << failure.what() << '\n';
        return previewUsageError;
    }
    // The registry in memory takes every text Windows takes: a file before in UTF-8 cannot hold
    // some text that the UTF-16 written after can.
    store.holdAs(store::Encoding::utf16le);

    store::StoreRegistry storeRegistry(store);
    WrittenEntries registry(storeRegistry);
    MemoryTextLogFactory logs;
    PreviewRuntime runtime(platform, asked->document, errors);
    CommandLineProductFactory products(asked->product);
    Platform run{runtime, logs, xml, products, registry};
    runRegistryUpdate(run);

    printLog(logs.lines(), out);
    printEntries(registry.sections(), out);
    const bool noted = printNotes(xml, *asked, runtime, out, errors);

    if (asked->registryAfter) {
        // As Windows exports: UTF-16LE with a byte-order mark, which `reg import` reads exactly.
        std::string after;
        store.exportKeys(store::Encoding::utf16le,
                         [&after](std::string_view piece) { after.append(piece); });
        if (!writeWholeFile(*asked->registryAfter, after, error)) {
            errors << "RegistryUpdatePreview: cannot write " << *asked->registryAfter << ": "
                   << error << '\n';
            return previewUsageError;
        }
    }
    // A build step that reads the output must not take a lost one for a clean preview.
    if (!out.flush()) {
        errors << "RegistryUpdatePreview: cannot write its output\n";
        return previewUsageError;
    }
    // Notes alone leave a clean preview; `--strict` fails it as a log line does.
    return logs.lines().empty() && !(asked->strict && noted) ? previewClean : previewLogged;
}

} // namespace modRegistryUpdate::preview
