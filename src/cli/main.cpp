// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// kelvo-cli: makes Kelvo's galleries without the desktop program.

#include <exception>
#include <iostream>

#include <CLI/CLI.hpp>

#include "CliOptions.h"

namespace {

int Run(int argc, char** argv) {
    CLI::App app{"Kelvo turns a folder of photos into a static HTML picture gallery.", "kelvo-cli"};
    app.set_version_flag("--version", "kelvo-cli " KELVO_VERSION);
    app.require_subcommand(1);
    app.footer("Run 'kelvo-cli COMMAND --help' for the options of a command.");

    GenerateOptions generate;
    CLI::App* generateCmd = app.add_subcommand(
        "generate",
        "Generate the gallery of a project: its pages, then its resized pictures. Only what "
        "changed since the last run is written, and files that run made but this one does not "
        "are removed (the record of what was written is the hidden file .kelvo-record.xml in "
        "the output folder). Prints the start page on standard output and, unless quiet, a "
        "last line on standard error with the pictures and pages written, kept and removed.");
    generateCmd->add_option("project", generate.Project, "The project file (.kel)")->required();
    generateCmd->add_option("-o,--output", generate.Output,
                            "Write the gallery here (created if missing) instead of the project's "
                            "output folder and sub-folder");
    generateCmd->add_option("-l,--layout", generate.Layout,
                            "Use this layout instead of the project's active one");
    generateCmd->add_option("--layouts", generate.Layouts,
                            "The folder of layouts (default: the one installed with Kelvo)");
    generateCmd
        ->add_option("-j,--jobs", generate.Jobs,
                     "Pictures made at once (default: one per processor core)")
        ->check(CLI::Range(1, 256));
    generateCmd->add_flag("--fast", generate.Fast,
                          "Decode JPEG pictures at a reduced scale: faster, same picture sizes "
                          "and names, slightly different pixels");
    generateCmd->add_flag("-f,--force", generate.Force,
                          "Rewrite every page and picture, also those that are still current");
    generateCmd->add_flag("-q,--quiet", generate.Quiet, "Show no progress and no counts");

    NewOptions create;
    CLI::App* newCmd = app.add_subcommand(
        "new",
        "Create a project from picture files and folders (their .jpg, .jpeg and .bmp files).");
    newCmd->add_option("project", create.Project, "The project file to create (.kel)")->required();
    newCmd->add_option("pictures", create.Inputs, "Picture files and folders, in gallery order")
        ->required();
    newCmd->add_option("-l,--layout", create.Layout, "The project's layout (default: Standard)");
    newCmd->add_option("--layouts", create.Layouts,
                       "The folder of layouts to check --layout against (default: the one "
                       "installed with Kelvo)");
    newCmd->add_option("-o,--output", create.Output, "The project's output folder");
    newCmd->add_option("-s,--sort", create.Sort, "Order the pictures by file path or by file date")
        ->check(CLI::IsMember({"name", "date"}));
    newCmd->add_option("--language", create.Language,
                       "The gallery's language, a two-letter code such as en or de (default: "
                       "from the locale: LC_ALL, LC_MESSAGES, LANG)");
    newCmd->add_flag("-f,--force", create.Force, "Replace an existing project file");

    LayoutsOptions layouts;
    CLI::App* layoutsCmd = app.add_subcommand(
        "layouts", "List every layout and its layers with their default settings.");
    layoutsCmd->add_option("--layouts", layouts.Layouts,
                           "The folder of layouts (default: the one installed with Kelvo)");

    CheckOptions check;
    CLI::App* checkCmd = app.add_subcommand(
        "check", "Check layouts for mistakes in their tags and words file; each is listed as "
                 "FILE:LINE:COLUMN: message.");
    checkCmd->add_option("layout", check.Names,
                         "Layout names in the layouts folder, or paths to layout folders "
                         "(default: every layout)");
    checkCmd->add_option("--layouts", check.Layouts,
                         "The folder of layouts (default: the one installed with Kelvo)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : static_cast<int>(ExitStatus::Usage);
    }

    try {
        ExitStatus status = ExitStatus::Success;
        if (generateCmd->parsed())
            status = RunGenerate(generate);
        else if (newCmd->parsed())
            status = RunNew(create);
        else if (layoutsCmd->parsed())
            status = RunLayouts(layouts);
        else if (checkCmd->parsed())
            status = RunCheck(check);
        return static_cast<int>(status);
    } catch (const std::exception& e) {
        std::cerr << "kelvo-cli: " << e.what() << '\n';
        return static_cast<int>(ExitStatus::Failure);
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        // Only a failure to set up the command line itself can end up here.
        std::cerr << "kelvo-cli: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "kelvo-cli: unexpected error\n";
    }
    return static_cast<int>(ExitStatus::Failure);
}
