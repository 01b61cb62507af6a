"""An installed copy (`cmake --install` into a prefix with blanks and non-ASCII letters,
whose data folder the system lists) opens a package and writes nothing under the user's
~/.local: the system carries its desktop entry and file types. The same program run from
the build folder registers them as before, with a desktop entry the desktop's own
validator accepts."""
import os
import subprocess

from harness import build_demo_package, check, run_scenario, session, wait_until


def user_registration(runtime):
    share = os.path.join(runtime.home, ".local", "share")
    return [name for name in ("applications", "mime") if os.path.exists(os.path.join(share, name))]


def scenario(args):
    with session(args, "installed") as runtime:
        prefix = os.path.join(runtime.root, "Installed Prëfix")
        subprocess.run(["cmake", "--install", args.build_dir, "--prefix", prefix, "--component", "runtime"],
                       check=True, stdout=subprocess.DEVNULL)
        package = build_demo_package(args, runtime.root)

        runtime.args.program = os.path.join(prefix, "bin", "QenRuntime")
        runtime.extra_environment["XDG_DATA_DIRS"] = os.path.join(prefix, "share")
        runtime.start_on_help_page(package)
        check(runtime.close_window() == 0, "the installed program did not end cleanly")
        check(user_registration(runtime) == [],
              f"an installed copy registered file types under ~/.local: {user_registration(runtime)}")

        # Without the system's copy of the file types, a start registers them for the user.
        runtime.extra_environment["XDG_DATA_DIRS"] = os.path.join(runtime.root, "no system data")
        runtime.start(package)
        wait_until(lambda: user_registration(runtime) == ["applications", "mime"],
                   "the file types registered for the user")
        check(runtime.close_window() == 0, "the program did not end cleanly")
        entry = os.path.join(runtime.home, ".local", "share", "applications", "qen-runtime.desktop")
        validated = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True)
        check(validated.returncode == 0 and not validated.stdout.strip(),
              f"the user's desktop entry is not valid: {validated.stdout}")


if __name__ == "__main__":
    run_scenario(scenario)
