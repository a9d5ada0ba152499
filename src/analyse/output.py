"""Files written where the user points: a device or a FIFO as it is, through a symbolic link to
its target (the link stays), any other file under a name beside it, renamed once whole, so that
a killed analysis never leaves half a table or picture."""

import os
import stat
import sys

from refusal import BAD_USE, Refusal


def target(path):
    """The file that writing to path replaces; a folder is refused before any work is done."""
    real = os.path.realpath(path)
    if os.path.isdir(real):
        raise Refusal(f"cannot write {path}: it is a folder", BAD_USE)
    return real


def write(path, data):
    """Writes bytes to path, or to standard output for None."""
    if path is None:
        sys.stdout.buffer.write(data)
        sys.stdout.flush()
        return
    real = target(path)
    try:
        if os.path.exists(real) and not stat.S_ISREG(os.stat(real).st_mode):
            with open(real, "wb") as file:
                file.write(data)
            return
        partial = f"{real}.part{os.getpid()}"
        try:
            with open(partial, "wb") as file:
                file.write(data)
            os.replace(partial, real)
        finally:
            if os.path.exists(partial):
                os.remove(partial)
    except OSError as error:
        raise Refusal(f"cannot write {path}: {error.strerror}") from error
