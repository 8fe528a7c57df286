#!/usr/bin/env python3
"""End-to-end tests of the intstats executable: bytes in, exact bytes out.

Each case of the table is the bytes on standard input, the exact bytes
expected on standard output, the exit status and whether standard error is
written. The expectations are the Linux ones; for the Windows executable,
run under an emulator, they are turned into that platform's (CR LF line ends,
the C runtime's NaN spelling) rather than kept twice.
"""

import argparse
import os
import pty
import resource
import select
import signal
import subprocess
import sys
import tempfile
import termios
import time
import unittest

parser = argparse.ArgumentParser(description=__doc__)
parser.add_argument("--program", required=True, help="the intstats executable")
parser.add_argument("--emulator", default="", help="runs the program, e.g. wine")
parser.add_argument("--windows", action="store_true", help="expect Windows text conventions")
parser.add_argument("--sanitized", action="store_true", help="the program is a sanitizer build")
OPTIONS, UNITTEST_ARGUMENTS = parser.parse_known_args()
PROGRAM = os.path.abspath(OPTIONS.program)
EMULATOR = OPTIONS.emulator.split()
WINDOWS = OPTIONS.windows
SANITIZED = OPTIONS.sanitized
TIMEOUT = 60

FIRST_PROMPT = b"\n enter total no of elements=>"
SECOND_PROMPT = b"\n enter elements=>"
INT_MAX = 2147483647
INT_MIN = -2147483648


def report_lines(minimum, maximum, total, average) -> bytes:
    return (f"Minimum value: {minimum}\nMaximum value: {maximum}\n"
            f"Sum: {total}\nAverage: {average}\n").encode()


def dialogue(minimum, maximum, total, average) -> bytes:
    return FIRST_PROMPT + SECOND_PROMPT + report_lines(minimum, maximum, total, average)


EMPTY = dialogue(INT_MAX, INT_MIN, 0, "-nan")
ZEROS = dialogue(0, 0, 0, 0)

# name, standard input, standard output, exit status, standard error written
CASES = [
    ("typical", b"4\n3 -1 10 8\n", dialogue(-1, 10, 20, 5), 0, False),
    ("one_line", b"3 5 1 4\n", dialogue(1, 5, 10, 3.33333), 0, False),
    ("many_lines", b"3\n5\n1\n4\n", dialogue(1, 5, 10, 3.33333), 0, False),
    ("no_final_line_end", b"3\n5 1 4", dialogue(1, 5, 10, 3.33333), 0, False),
    ("crlf_line_ends", b"3\r\n5 1 4\r\n", dialogue(1, 5, 10, 3.33333), 0, False),
    ("every_white_space", b" \t\n\v\f\r2\t\v\f\r\n 5\n\n\n6 ", dialogue(5, 6, 11, 5.5), 0, False),
    ("count_zero", b"0\n", EMPTY, 0, False),
    ("count_zero_ignores_rest", b"0 5 6\n", EMPTY, 0, False),
    ("extra_numbers_unread", b"2 8 9 1 -100 junk\n", dialogue(8, 9, 17, 8.5), 0, False),
    ("single", b"1\n7\n", dialogue(7, 7, 7, 7), 0, False),
    ("plus_sign_and_leading_zeros", b"3 +5 007 -0008", dialogue(-8, 7, 4, 1.33333), 0, False),
    ("negative_zero", b"1 -0", dialogue(0, 0, 0, 0), 0, False),
    ("sum_wraps", b"2 2147483647 1", dialogue(1, INT_MAX, INT_MIN, "-1.07374e+09"), 0, False),
    ("sum_wraps_down", b"2 -2147483648 -1", dialogue(INT_MIN, -1, INT_MAX, "1.07374e+09"), 0, False),
    ("limits", b"2 -2147483648 2147483647", dialogue(INT_MIN, INT_MAX, -1, -0.5), 0, False),
    ("average_exponent", b"1 1000000", dialogue(1000000, 1000000, 1000000, "1e+06"), 0, False),
    # Input that ends or fails before the count: the count is 0.
    ("empty_input", b"", EMPTY, 0, False),
    ("only_white_space", b" \n\t\n", EMPTY, 0, False),
    ("count_not_a_number", b"abc\n1 2\n", EMPTY, 0, False),
    ("count_lone_sign", b"- 3 1 2 3", EMPTY, 0, False),
    # A failed element is 0, and so is every element after it.
    ("lone_minus_element", b"1\n-x", ZEROS, 0, False),
    ("element_not_a_number", b"3 1 x 5", dialogue(0, 1, 1, 0.333333), 0, False),
    ("hexadecimal_stops_at_x", b"2 0x10 5", ZEROS, 0, False),
    ("digit_grouping_stops_at_comma", b"2 1,000", dialogue(0, 1, 1, 0.5), 0, False),
    ("decimal_point_stops", b"2 1.5 4", dialogue(0, 1, 1, 0.5), 0, False),
    ("nul_byte", b"2 5\x00 6", dialogue(0, 5, 5, 2.5), 0, False),
    ("byte_above_ascii", b"2 5\xc3\xa9 6", dialogue(0, 5, 5, 2.5), 0, False),
    ("input_ends_early", b"3 1 2", dialogue(0, 2, 3, 1), 0, False),
    ("input_ends_after_sign", b"2 4 -", dialogue(0, 4, 4, 2), 0, False),
    ("element_above_range", b"2 2147483648 5", dialogue(0, INT_MAX, INT_MAX, "1.07374e+09"), 0, False),
    ("element_below_range", b"2 -2147483649 5", dialogue(INT_MIN, 0, INT_MIN, "-1.07374e+09"), 0, False),
    ("element_thirty_digits", b"1 -123456789012345678901234567890", dialogue(INT_MIN, INT_MIN, INT_MIN, "-2.14748e+09"), 0, False),
    ("element_long_leading_zeros", b"1 " + b"0" * 40 + b"42", dialogue(42, 42, 42, 42), 0, False),
    # A count past the range is the nearest limit, and no number is read.
    ("huge_count_without_numbers", b"2147483647\n", ZEROS, 0, False),
    ("count_above_range", b"99999999999 1 2", ZEROS, 0, False),
    # A negative count is refused with a message and status 1.
    ("negative_count", b"-5\n1 2 3\n", FIRST_PROMPT, 1, True),
    ("count_below_range", b"-2147483649\n", FIRST_PROMPT, 1, True),
]

# On Windows a 0x1A ends the input; elsewhere it is an ordinary byte that
# fails the field it starts. Either way no number after it is read.
CASES += [
    ("substitute_byte", b"3 5\x1a 1 4", dialogue(0, 5, 5, 1.66667), 0, False),
    ("substitute_byte_before_count", b"\x1a3 1 2 3", EMPTY, 0, False),
    ("crlf_and_lone_carriage_return", b"3\r\n5\r6\r\n7\r\n", dialogue(5, 7, 18, 6), 0, False),
]


def for_platform(expected: bytes) -> bytes:
    if not WINDOWS:
        return expected
    return expected.replace(b"\n", b"\r\n").replace(b"-nan", b"-nan(ind)")


def command(*arguments: str) -> list[str]:
    return EMULATOR + [PROGRAM, *arguments]


def run_with_files(stdin: bytes, arguments=(), **popen_options):
    """Runs the program with files on all three standard streams."""
    with tempfile.TemporaryFile() as fin, tempfile.TemporaryFile() as fout, \
            tempfile.TemporaryFile() as ferr:
        fin.write(stdin)
        fin.seek(0)
        status = subprocess.run(command(*arguments), stdin=fin, stdout=fout, stderr=ferr,
                                timeout=TIMEOUT, **popen_options).returncode
        fout.seek(0)
        ferr.seek(0)
        return status, fout.read(), ferr.read()


def read_output(fd: int, seconds: float, until: bytes | None = None) -> bytes:
    """Reads from fd until `until` has arrived, or to the end of the output
    when it is None, failing after `seconds`."""
    received = b""
    deadline = time.monotonic() + seconds
    while until is None or not received.endswith(until):
        remaining = deadline - time.monotonic()
        if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
            raise AssertionError(f"timed out waiting for {until or 'the end'!r}; got {received!r}")
        try:
            chunk = os.read(fd, 4096)
        except OSError:  # a pseudo-terminal whose other side has gone
            chunk = b""
        if not chunk:
            if until is None:
                return received
            raise AssertionError(f"output ended before {until!r}; got {received!r}")
        received += chunk
    return received


class Dialogue(unittest.TestCase):
    def test_table(self):
        for name, stdin, expected, status, writes_stderr in CASES:
            with self.subTest(name):
                got_status, stdout, stderr = run_with_files(stdin)
                self.assertEqual(stdout, for_platform(expected))
                self.assertEqual(got_status, status)
                if writes_stderr:
                    self.assertRegex(stderr, rb"^intstats: [^\n]+\r?\n$")
                else:
                    self.assertEqual(stderr, b"")

    def test_negative_count_message_names_the_count(self):
        _, _, stderr = run_with_files(b"-5\n")
        self.assertIn(b"-5", stderr)

    def test_command_line_is_ignored(self):
        plain = run_with_files(b"2 1 2\n")
        self.assertEqual(run_with_files(b"2 1 2\n", ["--help", "-n", "5"]), plain)


class LeftoverInput(unittest.TestCase):
    """A seekable input is left just after the last character an extraction
    consumed, for the next reader of the same file."""

    def leftover(self, stdin: bytes) -> bytes:
        with tempfile.TemporaryFile() as fin:
            fin.write(stdin)
            fin.seek(0)
            subprocess.run(command(), stdin=fin, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=TIMEOUT)
            return fin.read()

    def test_table(self):
        values = [str(n).encode() for n in range(-100000, 100000, 3)]  # several reads long
        cases = [
            ("after_the_last_number", b"2 5 6 tail\nmore\n", b" tail\nmore\n"),
            ("after_the_count_of_zero", b"0 9 9\n", b" 9 9\n"),
            ("at_a_field_that_failed", b"3 5 x y", b"x y"),
            ("after_a_lone_sign", b"2 1 -x", b"x"),
            ("after_digits_past_the_range", b"2 1 99999999999999x", b"x"),
            ("at_the_end", b"2 5 6", b""),
            ("after_a_negative_count", b"-5 1 2", b" 1 2"),
            ("far_beyond_one_read", b"60000 " + b" ".join(values), b" " + b" ".join(values[60000:])),
        ]
        for name, stdin, rest in cases:
            with self.subTest(name):
                self.assertEqual(self.leftover(stdin), rest)

    @unittest.skipIf(WINDOWS, "uses a POSIX shell")
    def test_the_next_command_reads_the_rest(self):
        with tempfile.NamedTemporaryFile() as fin:
            fin.write(b"2\n5 6\nthe rest\n")
            fin.flush()
            result = subprocess.run(["sh", "-c", '{ "$0" >/dev/null; cat; } < "$1"', PROGRAM, fin.name],
                                    capture_output=True, timeout=TIMEOUT)
        self.assertEqual(result.stdout, b"\nthe rest\n")


class PromptsBeforeWaiting(unittest.TestCase):
    """Each answer is written only once its prompt has been read back, so a
    prompt left in a buffer makes the test time out instead of hanging."""

    def converse(self, program_in: int, program_out: int, line_end: bytes) -> bytes:
        transcript = read_output(program_out, 10, until=FIRST_PROMPT.replace(b"\n", line_end))
        os.write(program_in, b"3\n")
        transcript += read_output(program_out, 10, until=SECOND_PROMPT.replace(b"\n", line_end))
        os.write(program_in, b"5 1 4\n")
        return transcript + read_output(program_out, 10, until=b"Average: 3.33333" + line_end)

    def test_on_pipes(self):
        process = subprocess.Popen(command(), stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        try:
            transcript = self.converse(process.stdin.fileno(), process.stdout.fileno(),
                                       for_platform(b"\n"))
            self.assertEqual(process.wait(timeout=10), 0)
            if not WINDOWS:  # Wine's helpers may hold the pipe open past the program's end
                transcript += read_output(process.stdout.fileno(), 10)
        finally:
            process.kill()
            process.wait()
            process.stdin.close()
            process.stdout.close()
        self.assertEqual(transcript, for_platform(dialogue(1, 5, 10, 3.33333)))

    @unittest.skipIf(WINDOWS, "the terminal is tested on the native build")
    def test_on_a_terminal(self):
        controller, terminal = os.openpty()
        attributes = termios.tcgetattr(terminal)
        attributes[3] &= ~termios.ECHO  # keep the transcript to what the program writes
        termios.tcsetattr(terminal, termios.TCSANOW, attributes)
        process = subprocess.Popen(command(), stdin=terminal, stdout=terminal, stderr=terminal)
        os.close(terminal)
        try:
            transcript = self.converse(controller, controller, b"\r\n")
            self.assertEqual(process.wait(timeout=10), 0)
            transcript += read_output(controller, 10)
        finally:
            process.kill()
            process.wait()
            os.close(controller)
        # The terminal turns each line feed into carriage return and line feed.
        self.assertEqual(transcript, dialogue(1, 5, 10, 3.33333).replace(b"\n", b"\r\n"))


class FailurePaths(unittest.TestCase):
    def test_full_disk_is_a_write_error(self):
        with open("/dev/full", "wb") as full, tempfile.TemporaryFile() as ferr:
            status = subprocess.run(command(), input=b"2 1 2\n", stdout=full, stderr=ferr,
                                    timeout=TIMEOUT).returncode
            ferr.seek(0)
            self.assertEqual(ferr.read(), for_platform(b"intstats: write error: No space left on device\n"))
        self.assertEqual(status, 1)

    def test_closed_standard_output_is_a_write_error(self):
        status, _, stderr = run_with_files(b"2 1 2\n", preexec_fn=lambda: os.close(1))
        self.assertEqual(stderr, for_platform(b"intstats: write error: Bad file descriptor\n"))
        self.assertEqual(status, 1)

    @unittest.skipIf(WINDOWS, "signals are a POSIX matter")
    def test_closed_pipe_ends_the_process_by_signal(self):
        read_end, write_end = os.pipe()
        os.close(read_end)
        with tempfile.TemporaryFile() as fin:
            fin.write(b"2 1 2\n")
            fin.seek(0)
            # Restore the default disposition Python gives its children.
            status = subprocess.run(command(), stdin=fin, stdout=write_end, stderr=subprocess.DEVNULL,
                                    timeout=TIMEOUT, restore_signals=True).returncode
        os.close(write_end)
        self.assertEqual(status, -signal.SIGPIPE)

    @unittest.skipIf(WINDOWS, "a directory as standard input is a POSIX matter")
    def test_unreadable_input_is_a_read_error(self):
        directory = os.open(tempfile.gettempdir(), os.O_RDONLY | os.O_DIRECTORY)
        with tempfile.TemporaryFile() as fout, tempfile.TemporaryFile() as ferr:
            status = subprocess.run(command(), stdin=directory, stdout=fout, stderr=ferr,
                                    timeout=TIMEOUT).returncode
            os.close(directory)
            fout.seek(0)
            ferr.seek(0)
            self.assertEqual(fout.read(), FIRST_PROMPT)
            self.assertEqual(ferr.read(), b"intstats: read error: Is a directory\n")
        self.assertEqual(status, 1)

    @unittest.skipIf(WINDOWS, "closes a descriptor in the child")
    def test_closed_standard_input_is_a_read_error(self):
        status, stdout, stderr = run_with_files(b"", preexec_fn=lambda: os.close(0))
        self.assertEqual(stdout, FIRST_PROMPT)
        self.assertEqual(stderr, b"intstats: read error: Bad file descriptor\n")
        self.assertEqual(status, 1)

    @unittest.skipIf(SANITIZED, "AddressSanitizer reserves more address space than the limit allows")
    @unittest.skipIf(WINDOWS, "address-space limits are set with setrlimit")
    def test_storage_beyond_a_memory_limit_is_refused(self):
        limit = 512 << 20

        def limit_address_space():
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        status, stdout, stderr = run_with_files(b"1000000000\n1 2 3\n", preexec_fn=limit_address_space)
        self.assertEqual(stdout, FIRST_PROMPT)
        self.assertRegex(stderr, rb"^intstats: cannot obtain storage for 1000000000 numbers: [^\n]+\n$")
        self.assertEqual(status, 1)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v", *UNITTEST_ARGUMENTS])
