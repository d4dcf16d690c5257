#!/usr/bin/env python3
"""Tests of the fidelity checker's own logic: how it numbers games, reads a
main line, and derives the expected scene file from a FEN sequence. A fault
here would let the corpus check pass or fail for the wrong reason."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_corpus  # noqa: E402  (the module under test, found beside us)

START = check_corpus.START_FEN


def records(scene):
    return scene.decode("ascii").split("\n")[1:]


class ExpectedScene(unittest.TestCase):
    def test_initial_position_has_32_records_in_file_major_order(self):
        scene = check_corpus.expected_scenes([START])[0]
        self.assertEqual(records(scene)[:5], [
            '_Rook("a1",0)', '_Pawn("a2",0)', '_Pawn("a7",1)',
            '_Rook("a8",1)', '_Knight("b1",0)'])
        self.assertEqual(len(records(scene)), 32)
        self.assertTrue(scene.startswith(b"\n"))
        self.assertFalse(scene.endswith(b"\n"))

    def test_pawn_taken_by_white_goes_to_grave_accent_eight(self):
        fens = [
            START,
            "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
            "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2",
            "rnbqkbnr/ppp1pppp/8/3P4/8/8/PPPP1PPP/RNBQKBNR b KQkq - 0 2",
        ]
        last = records(check_corpus.expected_scenes(fens)[-1])
        self.assertEqual(last[-1], '_Pawn("`8",1)')
        self.assertIn('_Pawn("d5",0)', last)
        self.assertEqual(len(last), 32)

    def test_en_passant_takes_the_pawn_beside_the_target(self):
        fens = ["4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1",
                "4k3/8/3P4/8/8/8/8/4K3 b - - 0 1"]
        last = records(check_corpus.expected_scenes(fens)[-1])
        self.assertEqual(last, ['_Pawn("d6",0)', '_King("e1",0)',
                                '_King("e8",1)', '_Pawn("`8",1)'])

    def test_captured_promoted_piece_counts_as_its_new_type(self):
        fens = ["4k3/8/8/8/8/8/1p6/2R1K3 b - - 0 1",
                "4k3/8/8/8/8/8/8/1qR1K3 w - - 0 2",   # b1=Q
                "4k3/8/8/8/8/8/8/1R2K3 b - - 0 2"]    # Rxb1
        last = records(check_corpus.expected_scenes(fens)[-1])
        self.assertEqual(last[-1], '_Queen("`8",1)')

    def test_both_capture_lists_in_order(self):
        fens = ["4k3/8/8/3n4/4P3/8/8/r3K2R w - - 0 1",
                "4k3/8/8/3P4/8/8/8/r3K2R b - - 0 1",   # exd5
                "4k3/8/8/3P4/8/8/8/4K2r w - - 0 2"]    # Rxh1
        last = records(check_corpus.expected_scenes(fens)[-1])
        self.assertEqual(last[-2:], ['_Rook("i1",0)', '_Knight("`8",1)'])


class GameNumbering(unittest.TestCase):
    def test_text_before_the_first_tag_block_is_game_one(self):
        data = (b"{ A collection }\n\n[Event \"a\"]\n\n1. e4 *\n\n"
                b"[Event \"b\"]\n[Site \"x\"]\n\n1. d4 *\n")
        games = check_corpus.split_games(data)
        self.assertEqual([g.number for g in games], [1, 2, 3])
        self.assertEqual([g.first_line for g in games], [1, 3, 7])
        self.assertFalse(games[0].has_tag_block())
        self.assertTrue(games[2].has_tag_block())

    def test_escape_lines_and_bom_do_not_start_a_game(self):
        data = b"\xef\xbb\xbf% header\n[Event \"a\"]\n\n1. e4 *\n"
        games = check_corpus.split_games(data)
        self.assertEqual(len(games), 1)
        self.assertTrue(games[0].has_tag_block())

    def test_clock_comment_line_is_no_tag_line(self):
        data = (b"[Event \"a\"]\n\n1. e4 { \n[%clk 0:00:59] } e5 *\n\n"
                b"[Event \"b\"]\n\n1. d4 *\n")
        self.assertEqual(len(check_corpus.split_games(data)), 2)

    def test_text_ends_at_ctrl_z(self):
        data = b"[Event \"a\"]\n\n1. e4 *\n\x1a[Event \"b\"]\n\n1. d4 *\n"
        self.assertEqual(len(check_corpus.split_games(data)), 1)


class MainLineScan(unittest.TestCase):
    def scan(self, movetext):
        game = check_corpus.GameText(1, 1, [b"[Event \"a\"]\n", b"\n",
                                            movetext])
        return check_corpus.scan_main_line(game)

    def test_markers_in_comments_and_variations_do_not_end_the_game(self):
        scan = self.scan(b"1. e4 {1-0} (1. d4 *) e5 ; 0-1\n2. Nf3 $1 +/- 1/2")
        self.assertEqual((scan.half_moves, scan.terminated), (3, True))

    def test_missing_marker(self):
        self.assertFalse(self.scan(b"1. e4 e5 2. Nf3\n").terminated)

    def test_tagless_game_after_the_marker_is_counted(self):
        self.assertEqual(self.scan(b"1. e4 *\n\n1. d4 d5 *\n").games_after, 1)


if __name__ == "__main__":
    unittest.main()
