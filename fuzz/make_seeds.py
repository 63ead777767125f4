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

# --- uninstaller command line ------------------------------------------------
for name, line in [
    ("no_keyword", "C:\\x\\ravuninst.exe"),
    ("verbose_quiet", "C:\\x\\ravuninst.exe verbose quiet"),
    ("quiet_verbose", "C:\\x\\ravuninst.exe quiet verbose"),
    ("capital_verbose", "C:\\x\\ravuninst.exe Verbose quiet"),
    ("silent_uninstall", "C:\\x\\ravuninst.exe silent uninstall"),
    ("uninstall", "C:\\x\\ravuninst.exe uninstall"),
    ("services_rootkey", "C:\\x\\ravuninst.exe services /rootkey=SOFTWARE\\Corvane\\802.11_App\\UninstallInfo"),
    ("rundll_in_rootdir", 'C:\\x\\ravuninst.exe /rootdir="C:\\rundll"'),
    ("preupdate", "C:\\x\\ravuninst.exe preupdate"),
    ("removeold", "C:\\x\\ravuninst.exe RemoveOld removeold"),
    ("keyword_in_path", "C:\\verbose\\ravuninst.exe"),
    ("driver", "C:\\x\\ravuninst.exe driver"),
    ("driver_in_rootdir", 'x /rootdir="C:\\drivers"'),
    ("rootkey_unquoted", "x /rootkey=SOFTWARE\\X\\Y verbose"),
    ("rootkey_quoted", 'x /rootkey="SOFTWARE\\A B\\C" verbose'),
    ("rootkey_at_end", "x /rootkey=SOFTWARE\\End"),
    ("rootkey_unclosed", 'x /rootkey="SOFTWARE\\Unclosed verbose'),
    ("rootkey_empty", "x /rootkey="),
    ("rootdir_quoted", 'x /rootdir="C:\\Setup Dir" verbose'),
    ("rootdir_unquoted", "x /rootdir=C:\\Setup verbose"),
    ("rootdir_empty", "x /rootdir="),
    ("both_rootdir_unquoted", "x /rootkey=K /rootdir=C:\\Setup"),
    ("rootdir_too_long", 'x /rootdir="' + "d" * 300 + '"'),
    ("rootdir_quote_past_limit", 'x /rootdir="' + "d" * 255 + '" verbose'),
    ("rootkey_twice", "x /rootkey=a /rootkey=b"),
    ("localized_key_too_long", "x /rootkey=" + "k" * 250 + "\\Y verbose"),
    ("localized_key_just_fits", "x /rootkey=" + "k" * 238 + "\\UninstallInfo verbose"),
    ("full", 'C:\\Program Files\\Corvane\\ravuninst.exe verbose driver '
             '/rootkey="SOFTWARE\\Corvane\\802.11\\UninstallInfo" /rootdir="C:\\Program Files\\Corvane\\Setup"'),
]:
    seed("root_options", name, b(line))
seed("root_options", "wide_rootdir",
     b('x /rootdir="C:\\') + wide_unit(0x30BB) + wide_unit(0x30C3) + b('" verbose'))

# --- message texts -----------------------------------------------------------
# failing load (0 never), error line, product name, NUL, text.
def message(text, name="Adapter", fail=0, line=0):
    return bytes([fail]) + i32(line) + b(name) + b"\0" + b(text)


for name, text in [
    ("token", "Removing the %OEM_UTIL_NAME%"),
    ("token_twice", "%OEM_UTIL_NAME% and %OEM_UTIL_NAME%"),
    ("percent_before", "50% of %OEM_UTIL_NAME%"),
    ("lower_case", "%oem_util_name%"),
    ("unclosed", "%OEM_UTIL_NAME"),
    ("longer", "%OEM_UTIL_NAMEX%"),
    ("doubled_percent", "%%OEM_UTIL_NAME%%"),
    ("no_token", "no token"),
    ("lone_percent", "%"),
    ("empty", ""),
    ("confirmation", "This will remove the %OEM_UTIL_NAME% from your computer. Continue?"),
    ("error_prefix", "The removal of %OEM_UTIL_NAME% cannot continue due to error code"),
]:
    seed("message_text", name, message(text, line=120))
seed("message_text", "name_fails", message("a %OEM_UTIL_NAME%", fail=1))
seed("message_text", "name_fails_second", message("%OEM_UTIL_NAME% %OEM_UTIL_NAME% %OEM_UTIL_NAME%", fail=2))
seed("message_text", "empty_name_forms_token", message("%OEM_UTIL%OEM_UTIL_NAME%_NAME%", name=""))
seed("message_text", "negative_line", message("stage.src", name="E", line=-5))
seed("message_text", "wide_name",
     b"\0" + i32(2147483647) + wide_unit(0x30A2) + wide_unit(0x30C0) + b"\0" + b("Removing the %OEM_UTIL_NAME%"))

# --- UpgradeString data ------------------------------------------------------
seed("upgrade_string", "nul_inside", utf16le("C:\\remove.exe /x\0junk\0"))
seed("upgrade_string", "no_nul", utf16le("abc"))
seed("upgrade_string", "odd_length", utf16le("abc")[:5])
seed("upgrade_string", "empty", b"")
seed("upgrade_string", "one_byte", b"a")
seed("upgrade_string", "full_read", utf16le("a" * 513))
seed("upgrade_string", "command", utf16le('"C:\\Program Files\\Corvane\\ravuninst.exe" services /rootkey=x\0'))

# --- UTF-8 and UTF-16 --------------------------------------------------------
for name, data in [
    ("e_acute", b"\xC3\xA9"),
    ("emoji", b"\xF0\x9F\x98\x80"),
    ("three_byte_edges", b"A\xE0\xA0\x80\xEF\xBF\xBF"),
    ("mixed", b"\xC3\xA9\xF0\x9F\x98\x80z"),
    ("last_code_point", b"\xF4\x8F\xBF\xBF"),
    ("overlong_nul", b"A\xC0\x80"),
    ("encoded_surrogate", b"\xED\xA0\x80"),
    ("cut_off", b"ok\xE2\x82"),
    ("stray_continuation", b"x\x80y"),
    ("overlong_three", b"\xE0\x9F\xBF"),
    ("overlong_four", b"\xF0\x8F\xBF\xBF"),
    ("beyond_range", b"\xF4\x90\x80\x80"),
    ("lead_f5", b"\xF5\x80\x80\x80"),
    ("five_bytes", b"\xF8\x88\x80\x80\x80"),
    ("continuation_missing", b"a\xC3("),
    ("lead_then_letter", utf16le("a") + u16(0xD83D)),
    ("lead_then_x", u16(0xD83D) + utf16le("x")),
    ("lone_trail", u16(0xDE00)),
    ("trail_then_lead", utf16le("ok") + u16(0xDE00) + u16(0xD83D)),
    ("pair", u16(0xD83D) + u16(0xDE00)),
    ("status_line", b"Result,5,x,\xC3\xA9tape.src,120\n"),
]:
    seed("utf_convert", name, data)

# --- status lines ------------------------------------------------------------
for name, line in [
    ("progress", "Progress,100,40"),
    ("progress_two_fields", "Progress,100"),
    ("progress_leading_blank", " Progress,1,2"),
    ("progress_not_a_number", "Progress,abc,7"),
    ("progress_lower_case", "progress,1,2"),
    ("result", "Result,5,x,stage.src,120"),
    ("result_four_fields", "Result,5,x,stage.src"),
    ("result_empty_fields", "Result,100,,,"),
    ("result_longer_keyword", "Resultx,1,2,3,4"),
    ("fields_not_trimmed", "a, b,,c,"),
    ("number_blanks", "  \t42"),
    ("number_plus", "+7"),
    ("number_minus", "-7"),
    ("number_then_letters", "12abc"),
    ("number_above_range", "2147483648"),
    ("number_far_above", "99999999999999999999999"),
    ("number_lowest", "-2147483648"),
    ("number_far_below", "-99999999999999999999"),
    ("number_blank_inside", "4 2"),
    ("result_clamped", "Result,99999999999,x,f,-99999999999"),
]:
    seed("status_line", name, b(line))
seed("status_line", "wide_error_file", b("Result,200,x,") + wide_unit(0x30D5) + b(".src,7"))

# --- the pipe reader's line assembly -----------------------------------------
# K, S (the cap is 16 << S up to S = 12), K % 32 schedule bytes (read size - 1 in the
# low four bits; then: 0 one line, 1 every line, 2 none, 3 empty first and
# every line), the stream.
RUNS = 0x20          # 0xFF L stands for a run of (L & 0x7F) + 1 units
TAKE_NO_LINE = 0x40  # lines are taken only when the buffer refuses a read
PROGRAM_CAP = 12     # the cap is 16 << 12 = 64 KiB, the program's own


def pipe(schedule, stream, flags=0, cap=PROGRAM_CAP):
    return bytes([len(schedule) | flags, cap]) + bytes(schedule) + stream


def run(units, cr=False):
    """A run of `units` 32nds of the cap (2 KiB each at the program's cap)."""
    return bytes([0xFF, (units - 1) | (0x80 if cr else 0)])


seed("line_buffer", "one_line", pipe([], b"Progress,100,40\n"))
seed("line_buffer", "in_pieces", pipe([0x14, 0x14, 0x12, 0x1B, 0x1F, 0x12],
                                      b"Progress,1,2\r\nResult,5,x,f,9\nlast without LF"))
seed("line_buffer", "carriage_returns", pipe([], b"a\rb\r\n\n\r\n"))
seed("line_buffer", "long_line", pipe([], b"x" * 1000 + b"\n"))
seed("line_buffer", "byte_by_byte", pipe([0x00], b"Progress,1,2\r\nProgress,3,4\nResult,5,x,f,9\n"))
seed("line_buffer", "held_back", pipe([0x2F, 0x2F, 0x1F], b"Progress,1,2\nProgress,3,4\nProgress,5,6\n" * 4))
seed("line_buffer", "reattached", pipe([0x1F, 0x3F], b"Progress,1," + b"y" * 40 + b"\nResult,1,x,f,2\n"))
seed("line_buffer", "utf8", pipe([], b"Result,5,x,\xC3\xA9tape.src,120\n\xFF\xFEbad\n"))
# At the program's cap: 32 units are exactly 64 KiB.
seed("line_buffer", "at_the_cap", pipe([], run(32) + b"\nnext\n", RUNS))
seed("line_buffer", "one_over_the_cap", pipe([], run(32) + b"y\nnext\n", RUNS))
seed("line_buffer", "carriage_returns_past_the_cap", pipe([], run(32, cr=True) + b"x\r\n", RUNS))
seed("line_buffer", "dropped_with_all_the_room", pipe([0x5F], run(64) + b"\nafter\n", RUNS))
seed("line_buffer", "refused_until_taken", pipe([], run(32) + b"\n" + run(32) + b"\n", RUNS | TAKE_NO_LINE))
# The same at the smallest cap, 16 bytes.
seed("line_buffer", "small_cap_lines", pipe([0x14, 0x1F], b"Progress,1,2\r\n0123456789abcdefXYZ\nok\n", 0, 0))
seed("line_buffer", "small_cap_refused", pipe([0x2F], b"Progress,1,2\n" * 8, TAKE_NO_LINE, 0))
seed("line_buffer", "small_cap_runs", pipe([0x1F, 0x5F, 0x2F], run(40) + b"\n" + run(20, cr=True) + b"\n", RUNS, 0))

# --- path joining ------------------------------------------------------------
for name, base, part in [
    ("trailing_backslash", "C:\\Temp\\", "ravwl.log"),
    ("no_backslash", "C:\\Temp", "ravwl.log"),
    ("slashes_both", "C:/Temp/", "\\ravwl.log"),
    ("leading_backslash", "C:\\Temp", "\\ravwl.log"),
    ("empty_base", "", "C:\\Temp\\"),
    ("empty_part", "C:\\Temp", ""),
    ("slashes_empty_part", "C:/a/b", ""),
    ("slash_in_part", "C:\\Temp", "sub/x.log"),
    ("only_backslashes", "\\", "\\x"),
    ("doubled_at_seam", "C:\\\\", "\\\\x"),
]:
    seed("join_path", name, b(base) + b"\0" + b(part))

# --- string blocks -----------------------------------------------------------
def block(index, units):
    return bytes([index]) + b"".join(u16(unit) for unit in units)


BLOCK = [2, ord("a"), ord("b"), 0, 1, ord("c")] + [0] * 13
seed("string_block", "entry_0", block(0, BLOCK))
seed("string_block", "entry_empty", block(1, BLOCK))
seed("string_block", "entry_2", block(2, BLOCK))
seed("string_block", "entry_15", block(15, BLOCK))
seed("string_block", "index_past_16", block(40, BLOCK))
seed("string_block", "length_past_end", block(0, [5, ord("a")]))
seed("string_block", "skip_past_end", block(3, [5, ord("a")]))
seed("string_block", "empty", block(0, []))
seed("string_block", "odd_byte", block(0, [1, ord("z")]) + b"\x01")
for name, path in [
    ("module_path", "C:\\x\\ravuninst.exe"),
    ("two_dots", "C:\\x\\a.b.exe"),
    ("no_extension", "C:\\x\\noext"),
    ("dot_in_directory", "C:\\dir.d\\file"),
    ("no_directory", "ravuninst.exe"),
]:
    seed("string_block", name, b"\0" + b(path))

# --- co-installer: request table ---------------------------------------------
for code in [0x00, 0x01, 0x02, 0x05, 0x16, 0x1E, 0x1F, 0x25, 0x27, 0x28, 0x7FFFFFFF, 0xFFFFFFFF]:
    seed("dif_table", "code_%08x" % code, u32(code))

# --- co-installer: ROW marker ------------------------------------------------
for name, section, decoration, line in [
    ("row_card", "RowCard", ".NTamd64", "RowCard.reg,cc.reg"),
    ("not_row", "Normal", ".NTamd64", "Normal.reg"),
    ("upper_case", "RowCard", ".NTamd64", "CC.REG"),
    ("almost", "x", ".NTx86", "a,cc.re"),
    ("inside_word", "s", "", "xcc.regx"),
    ("empty", "", "", ""),
]:
    seed("row_marker", name, nul(b(section), b(decoration), b(line)))

# --- co-installer: paths and commands ----------------------------------------
# Windows padding, backup padding, architecture, then Windows directory,
# subdirectory, file name, library, backup path.
CLEANUP_HEAD = len("RUNDLL32.EXE SETUPAPI.DLL,InstallHinfSection Cleanup 132 ")


def paths(fields, windows_padding=0, backup_padding=0, architecture=9):
    return u16(windows_padding) + u16(backup_padding) + u16(architecture) + nul(*map(b, fields))


seed("system_paths", "amd64", paths(["C:\\Windows", "Inf", "oem12.inf", "ravihvui64.dll",
                                     "C:\\Windows\\System32\\oem12.inf"]))
seed("system_paths", "x86", paths(["C:\\WINNT", "System32", "ravwlan.inf", "ravihvui.dll",
                                   "C:\\WINNT\\System32\\ravwlan.inf"], architecture=0))
seed("system_paths", "path_just_fits", paths(["C:\\W", "Inf", "o" * 10], windows_padding=240))
seed("system_paths", "path_one_too_long", paths(["C:\\W", "Inf", "o" * 11], windows_padding=240))
seed("system_paths", "library_too_long", paths(["C:\\Windows", "System32", "x.inf", "l" * 245]))
seed("system_paths", "cleanup_just_fits", paths(["C:\\Windows", "Inf", "x.inf", "a.dll", ""],
                                                backup_padding=4095 - CLEANUP_HEAD))
seed("system_paths", "cleanup_too_long", paths(["C:\\Windows", "Inf", "x.inf", "a.dll", ""],
                                               backup_padding=4096 - CLEANUP_HEAD))

# --- co-installer: account names ---------------------------------------------
# domain padding, buffer choice (0: 4,096), then domain, name, other name.
def accounts(fields, padding=0, buffer=0):
    return u16(padding) + bytes([buffer]) + nul(*fields)


seed("account_names", "console_user", accounts([b"WORKGROUP", b"alice", b"workgroup\\ALICE"]))
seed("account_names", "system", accounts([b"NT AUTHORITY", b"SYSTEM", b"nt authority\\system"]))
seed("account_names", "empty", accounts([b"", b"", b""]))
seed("account_names", "not_ascii", accounts([b"D\xC9", b"\xE9", b"d\xE9\\\xC9"]))
seed("account_names", "just_fits", accounts([b"", b"bob", b"x"], padding=4091))
seed("account_names", "too_long", accounts([b"", b"bob", b"x"], padding=4092))
seed("account_names", "small_buffer", accounts([b"DOMAIN", b"user12345", b"domain\\USER12345"], buffer=1))

# --- co-installer: location rules --------------------------------------------
def location(major, minor, text, failed=False):
    return bytes([1 if failed else 0]) + u64(major) + u64(minor) + text


seed("location_rules", "windows_2000", location(5, 0, b"US\0"))
seed("location_rules", "windows_xp", location(5, 1, b"DE\0\0\0\0\0\0"))
seed("location_rules", "windows_7", location(6, 1, b"JP"))
seed("location_rules", "windows_10", location(10, 0, b"GBR"))
seed("location_rules", "query_failed", location(5, 0, b"FR", failed=True))
seed("location_rules", "one_letter", location(4, 0, b"U"))
seed("location_rules", "nul_first", location(6, 0, b"\0X"))

# --- trace viewer ------------------------------------------------------------
def trace(hour, minute, second, millisecond, pid, image, text, line_filter=""):
    head = i32(hour) + i32(minute) + i32(second) + i32(millisecond) + u64(pid)
    return head + nul(b(image), b(text), b(line_filter))


seed("trace_line", "launcher", trace(9, 5, 7, 42, 1234, "C:\\pkg\\Setup.exe",
                                     "*** LAUNCHER ***: Command: prog.exe\r\n", "*** LAUNCHER ***"))
seed("trace_line", "no_image", trace(23, 59, 59, 999, 4294967295, "", "x"))
seed("trace_line", "lines", trace(0, 0, 0, 0, 1, "/z/a.exe", "a\nb\r\nc", "b"))
seed("trace_line", "empty_lines", trace(1, 2, 3, 4, 5, "a.exe", "a\n\nb\n"))
seed("trace_line", "trailing_crs", trace(1, 2, 3, 4, 5, "a.exe", "trailing CRs\r\r\n", "*** RAVCOINST ***"))
seed("trace_line", "widest_stamp", trace(-2147483648, -2147483648, -2147483648, -2147483648,
                                         0xFFFFFFFFFFFFFFFF, "a.exe", "x"))


# --- support bundle ----------------------------------------------------------
seed("support_bundle", "country_without_nul", bytes([0]) + u32(1) + nul(b("Country"), utf16le("DE")))
seed("support_bundle", "multi_sz", bytes([0]) + u32(7) + nul(b("CoInstallers32"), b"") +
     utf16le("ravcoinst.dll,RAVWlanCoInstall\0other.dll\0\0"))
seed("support_bundle", "dword", bytes([0]) + u32(4) + nul(b("ErrorCode"), u32(1618)))
seed("support_bundle", "control_characters", bytes([0]) + u32(2) + nul(b("a\r\nb"), utf16le("x\r\n\x01\x7f\0")))
seed("support_bundle", "setup_log", bytes([1]) + nul(
    b("usb\\vid_0bda&pid_8812|oem7.inf|ravcoinst"),
    b("[Device Install Log]\n"
      ">>>  [Device Install (Hardware initiated) - USB\\VID_0BDA&PID_8812\\0001]\n"
      ">>>  Section start 2026/12/01 10:00:00.000\n"
      "     ndv: INF path: C:\\Windows\\INF\\oem7.inf\n"
      "<<<  Section end 2026/12/01 10:00:05.000\n"
      "<<<  [Exit status: SUCCESS]\n"
      ">>>  [Device Install - PCI\\VEN_8086]\n"
      "     dvi: RAVCOINST.DLL,RAVWlanCoInstall\n"
      "     dvi: other\n"
      "<<<  Section end 2026/12/01 10:02:01.000\n"
      "[2009/01/01 10:00:00 1234.5]\n"
      "#I022 Found in C:\\WINDOWS\\inf\\oem7.inf\n")))
seed("support_bundle", "bundle_small_limit", bytes([2]) + u16(8) + nul(
    b("Windows\nWindows 10.0 build 19045"), b("ravwl.log\n" + "\n".join("line %d" % i for i in range(60))),
    b("setupapi\nkept\nkept too")))
seed("support_bundle", "bundle_fits", bytes([2]) + u16(0xffff) + nul(b("Programs\nravcoinst.dll: not found")))
seed("support_bundle", "record_paths", bytes([3]) + nul(
    b("\"C:\\Program Files\\Corvane\\802.11\\ravuninst.exe\" verbose /rootdir=\"C:\\Program Files\\Corvane\\802.11\""),
    b("C:\\Program Files\\Corvane\\802.11\\ravuninst.exe"), b("oem7.inf"),
    b("ravcoinst.dll,RAVWlanCoInstall|other.dll")))


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
