"""The scenarios' private display stays the same display from its first client to its last:
a client that leaves (a program that ends, a screenshot, an xdotool call) never resets it under
the next one, which would then fail to open it."""
import subprocess
import time

from harness import Display, check, run_scenario


def root_property(name):
    return subprocess.run(["xprop", "-root", name], capture_output=True, text=True).stdout


def scenario(args):
    display = Display()
    try:
        subprocess.run(["xprop", "-root", "-f", "_QEN_PROBE", "8s", "-set", "_QEN_PROBE", "kept"], check=True)
        time.sleep(0.5)  # the setting client has left; a reset would have run by now
        check('"kept"' in root_property("_QEN_PROBE"), "the display was reset when its last client left")

        # Clients coming and going together, as a program starts while a screenshot ends.
        refused = 0
        for _ in range(40):
            clients = [subprocess.Popen(["xprop", "-root", "-len", "1", "WM_NAME"], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL) for _ in range(3)]
            refused += sum(client.wait() != 0 for client in clients)
        check(refused == 0, f"{refused} clients could not open the display")
    finally:
        display.close()


if __name__ == "__main__":
    run_scenario(scenario)
