#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora, fuzz/corpus/<target>/<seed>.

The seeds are the documented examples of each parser and formatter and the
inputs at its limits, each in the byte layout its target's comment gives.
The files are kept in the repository; run this again after changing a
layout or adding a seed:
  python3 fuzz/make_seeds.py
"""
import pathlib
import shutil
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"


def b(text):
    """Text as bytes, one byte per character (Latin-1)."""
    return text.encode("latin-1")


def u16(value):
    return struct.pack("<H", value & 0xFFFF)


def i32(value):
    return struct.pack("<i", value)


def u32(value):
    return struct.pack("<I", value)


def u64(value):
    return struct.pack("<Q", value)


def wide_unit(unit):
    """One UTF-16 unit in the fuzz::Widen form (0xFF, high byte, low byte)."""
    return bytes([0xFF, unit >> 8, unit & 0xFF])


def utf16le(text):
    return text.encode("utf-16-le", "surrogatepass")


def nul(*fields):
    return b"\0".join(fields)


SEEDS = {}


def seed(target, name, data):
    assert name not in SEEDS.setdefault(target, {}), (target, name)
    SEEDS[target][name] = data


# --- launcher: launch entries ------------------------------------------------
for name, value in [
    ("plain", "setup.exe"),
    ("arguments", "setup.exe /x"),
    ("quoted_command", '"My Setup.exe" /s'),
    ("subdirectory", "sub\\setup.exe"),
    ("quotes_inside", 'a"b c"d e f'),
    ("two_blanks", "setup.exe  two  blanks"),
    ("quoted_arguments", 'setup.exe /f1"x y" "q"'),
    ("leading_blank", " leading"),
    ("unclosed_quote", '"unclosed quote and blank'),
    ("only_quotes", '""'),
    ("empty", ""),
    ("trailing_blank", "setup.exe "),
]:
    seed("split_launch_entry", name, b(value))
seed("split_launch_entry", "entry_buffer_full", b("s" * 250 + " /x /y"))

# --- launcher: its own arguments ---------------------------------------------
for name, args in [
    ("help_after_switch", ["/s", "/?"]),
    ("help_upper", ["/HELP"]),
    ("help_lower", ["/help"]),
    ("help_dash", ["-hElP"]),
    ("not_help", ["/helpme", "/hel", "-?", "/Help "]),
    ("drive_path_with_blank", ["/f1C:\\My Files\\setup.iss"]),
    ("no_quotes_needed", ["/sms", "/f2C:\\log.txt", "/f2My Log.txt"]),
    ("argument_text", ["/s", "/f2C:\\log.txt"]),
    ("colon_first", [":x y"]),
    ("switch_ending_in_colon", ["/extract_all:C:\\My Dir"]),
    ("tab_is_no_blank", ["a:b\tc"]),
    ("checkerror_values", ["N", "no", "Never", "Y", "yes", "0", " N", ""]),
    ("text_full", ["a" * 1022]),
    ("text_one_too_many", ["a" * 1021, "b"]),
    ("quoting_overflows", ["a" * 1019, "C:\\a b"]),
]:
    seed("launcher_arguments", name, nul(*map(b, args)))

# --- launcher: paths and command lines ---------------------------------------
# padding count, then executable path, temporary directory, command,
# argument text and, when present, the entry's arguments.
def launcher_paths(padding, *fields):
    return u16(padding) + nul(*map(b, fields))


seed("launcher_paths", "typical", launcher_paths(
    0, "C:\\pkg\\Setup.exe", "C:\\Users\\u\\AppData\\Local\\Temp\\", "setup.exe", "/s /f2C:\\log.txt ", "/x"))
seed("launcher_paths", "drive_root", launcher_paths(0, "C:\\Setup.exe", "C:\\T\\", "sub\\setup.exe", "", ""))
seed("launcher_paths", "unc", launcher_paths(0, "\\\\srv\\share\\Setup.exe", "", "My Setup.exe", ""))
seed("launcher_paths", "no_backslash", launcher_paths(0, "Setup.exe"))
seed("launcher_paths", "backslash_first", launcher_paths(0, "\\Setup.exe"))
seed("launcher_paths", "empty", launcher_paths(0, ""))
seed("launcher_paths", "ini_just_fits", launcher_paths(247, "\\Setup.exe", "C:\\T\\", "setup.exe", ""))
seed("launcher_paths", "ini_too_long", launcher_paths(248, "\\Setup.exe", "C:\\T\\", "setup.exe", ""))
seed("launcher_paths", "staging_just_fits", launcher_paths(0, "C:\\p\\Setup.exe", "t" * 250, "setup.exe", ""))
seed("launcher_paths", "staging_too_long", launcher_paths(0, "C:\\p\\Setup.exe", "t" * 251, "setup.exe", ""))
seed("launcher_paths", "command_line_just_fits", launcher_paths(0, "C:\\p\\S.exe", "C:\\T\\", "s.exe", "y" * 1021, ""))
seed("launcher_paths", "command_line_too_long", launcher_paths(0, "C:\\p\\S.exe", "C:\\T\\", "s.exe", "y" * 1021, "x"))
seed("launcher_paths", "program_path_too_long", launcher_paths(0, "C:\\p\\S.exe", "C:\\T\\", "p" * 1010, ""))

# --- debug lines -------------------------------------------------------------
# prefix choice (0 launcher, 1 co-installer, 2 own), padding count, padding
# byte, message.
def debug_line(choice, padding, fill, message):
    return bytes([choice]) + u16(padding) + b(fill) + b(message)


seed("debug_line", "command", debug_line(0, 0, " ", "Command: setup.exe\n"))
seed("debug_line", "trailing_white_space", debug_line(0, 0, " ", "x \t\r\n\v\f \n"))
seed("debug_line", "only_white_space", debug_line(0, 0, " ", " \n"))
seed("debug_line", "percent", debug_line(0, 0, " ", "100% done"))
seed("debug_line", "coinstaller", debug_line(1, 0, " ", "Entering IsROWCard()\n"))
seed("debug_line", "own_prefix", debug_line(2, 0, " ", "WinMain: \0Verbose\r\n"))
seed("debug_line", "cut_at_limit", debug_line(0, 4091, "a", "bc" + "d" * 50))
seed("debug_line", "blanks_at_cut", debug_line(1, 4090, "a", "    z"))
seed("debug_line", "all_blanks_past_limit", debug_line(0, 5000, " ", "x"))


def main():
    for target, seeds in SEEDS.items():
        directory = CORPUS / target
        if directory.exists():
            shutil.rmtree(directory)
        directory.mkdir(parents=True)
        for name, data in seeds.items():
            (directory / name).write_bytes(data)
    print("%d seeds for %d targets in %s" % (sum(map(len, SEEDS.values())), len(SEEDS), CORPUS))


if __name__ == "__main__":
    main()
