"""A branded single-file program made with the packaging tool opens the package it
carries, ignores a package named on its command line, asks the terms under the package's
title and registers no file types."""
import os
import shutil
import subprocess

from harness import DEMO_HELP_HEADING, build_demo_package, check, run_scenario, session


def bind(args, folder, package):
    qenpack = os.path.join(args.build_dir, "tools", "qenpack", "qenpack")
    branded = os.path.join(folder, "DogTrainingAcademy")
    subprocess.run([qenpack, "bind", args.program, package, "-o", branded], check=True,
                   stdout=subprocess.DEVNULL)
    os.chmod(branded, 0o755)
    return branded


def scenario(args):
    with session(args, "branded") as runtime:
        package = build_demo_package(args, runtime.root)
        program_folder = os.path.join(runtime.root, "program")
        os.makedirs(program_folder)
        branded = bind(args, program_folder, package)
        elsewhere = os.path.join(runtime.root, "Other.qen")
        shutil.copy(package, elsewhere)
        os.remove(package)  # only the copy inside the program is left to open

        runtime.args.program = branded
        runtime.start(elsewhere)
        terms = runtime.window_titled("Dog Training Academy")
        runtime.screenshot("terms")
        runtime.press(terms, "Yes")
        runtime.wait_for_page_text(DEMO_HELP_HEADING)
        runtime.screenshot("help")

        mime_packages = os.path.join(runtime.home, ".local", "share", "mime", "packages")
        check(not os.path.isdir(mime_packages) or not os.listdir(mime_packages),
              "a branded program registered file types")
        check(runtime.close_window() == 0, "the program did not end cleanly")
        check(os.path.exists(os.path.join(program_folder, "DogTrainingAcademy.lum")),
              "the user data file was not saved beside the branded program")
        check(not os.path.exists(os.path.join(runtime.root, "Other.lum")),
              "the package on the command line was used")


if __name__ == "__main__":
    run_scenario(scenario)
