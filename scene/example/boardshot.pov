// A chess board for POV-Ray 3.7 that draws a position written by boardshot.
//
// The position comes from a scene include of macro calls such as
// _Knight("f3",0): one call per piece, naming a square and a colour (0 white,
// 1 black). This scene defines the six macros, the board, the table beside it
// where captured pieces stand, the lights and the camera, and then includes
// the file named by Boardshot_Position (default "position.inc", searched in
// the current directory and the library paths):
//
//   boardshot game.pgn position.inc
//   povray +Iboardshot.pov +Oposition.png +W800 +H600 +A0.3
//
// To include another file, declare its name before this scene:
//
//   #version 3.7;
//   #declare Boardshot_Position = "mygame.inc";
//   #include "boardshot.pov"
//
// Declaring Boardshot_Position as "" leaves the position out, for scenes that
// reuse the board and the pieces and place them themselves.
//
// Squares: files a..h lie left to right and ranks 1..8 from the viewer away,
// one unit per square, the board's top at height 0. The file '`' before a and
// the file 'i' after h are rows on the table beside the board where captured
// pieces stand; their numbers run on past 1..8 (i9, `0, `-1, ...).

#version 3.7;

global_settings { assumed_gamma 1.0 max_trace_level 6 }

#ifndef (Boardshot_Position)
  #declare Boardshot_Position = "position.inc";
#end

// ---------------------------------------------------------------------------
// Square names

// How far the rows of captured pieces stand from the board's edge files.
#declare Boardshot_Row_Gap = 0.55;
// The table top beside the board, below the board's top.
#declare Boardshot_Table_Height = -0.3;

#macro Boardshot_Fail(Square, Problem)
  #error concat("boardshot.pov: square name \"", Square, "\" ", Problem, "\n")
#end

// The file of a square name as a column number: '`' -1, 'a'..'h' 0..7, 'i' 8.
#macro Boardshot_File_Number(Square)
  #if (strlen(Square) < 2)
    Boardshot_Fail(Square, "needs a file letter and a rank number")
  #end
  #local Letter = asc(substr(Square, 1, 1));
  #if (Letter < asc("`") | Letter > asc("i"))
    Boardshot_Fail(Square, "has a file outside ` a b c d e f g h i")
  #end
  (Letter - asc("a"))
#end

// The rank of a square name: a whole number of any length, possibly
// negative ("e4" 4, "i10" 10, "`-1" -1).
#macro Boardshot_Rank_Number(Square)
  #local Digits = substr(Square, 2, strlen(Square) - 1);
  #local First = 1;
  #if (substr(Digits, 1, 1) = "-")
    #local First = 2;
  #end
  #if (First > strlen(Digits))
    Boardshot_Fail(Square, "has no rank number")
  #end
  #for (Index, First, strlen(Digits))
    #local Code = asc(substr(Digits, Index, 1));
    #if (Code < asc("0") | Code > asc("9"))
      Boardshot_Fail(Square, "has a rank that is not a whole number")
    #end
  #end
  val(Digits)
#end

// The lowest and highest rank any piece stands on, for the camera; the
// board and the first ranks of the capture rows are always in view.
#declare Boardshot_Lowest_Rank = -1;
#declare Boardshot_Highest_Rank = 9;

// Where a piece on the square stands: the centre of its foot.
#macro Boardshot_Square_Position(Square)
  #local File = Boardshot_File_Number(Square);
  #local Rank = Boardshot_Rank_Number(Square);
  #declare Boardshot_Lowest_Rank = min(Boardshot_Lowest_Rank, Rank);
  #declare Boardshot_Highest_Rank = max(Boardshot_Highest_Rank, Rank);
  #local X = File - 3.5;
  #if (File < 0)
    #local X = X - Boardshot_Row_Gap;
  #end
  #if (File > 7)
    #local X = X + Boardshot_Row_Gap;
  #end
  #local OnBoard = (File >= 0 & File <= 7 & Rank >= 1 & Rank <= 8);
  <X, (OnBoard ? 0 : Boardshot_Table_Height), Rank - 4.5>
#end

// ---------------------------------------------------------------------------
// Materials

#declare Boardshot_White_Texture = texture {
  pigment { rgb <0.86, 0.78, 0.60> }
  finish { ambient 0 diffuse 0.85 specular 0.35 roughness 0.02 }
}
#declare Boardshot_Black_Texture = texture {
  pigment { rgb <0.025, 0.022, 0.022> }
  finish { ambient 0 diffuse 0.8 specular 0.7 roughness 0.01 reflection 0.04 }
}
#declare Boardshot_Light_Square = texture {
  pigment { rgb <0.80, 0.62, 0.38> }
  finish { ambient 0 diffuse 0.8 specular 0.1 roughness 0.05 }
}
#declare Boardshot_Dark_Square = texture {
  pigment { rgb <0.22, 0.11, 0.05> }
  finish { ambient 0 diffuse 0.8 specular 0.1 roughness 0.05 }
}
#declare Boardshot_Frame_Texture = texture {
  pigment { rgb <0.09, 0.045, 0.02> }
  finish { ambient 0 diffuse 0.8 specular 0.2 roughness 0.03 }
}
#declare Boardshot_Table_Texture = texture {
  pigment { rgb <0.30, 0.38, 0.42> }
  finish { ambient 0 diffuse 0.9 }
}

#macro Boardshot_Piece_Texture(Square, Colour)
  #switch (Colour)
    #case (0) Boardshot_White_Texture #break
    #case (1) Boardshot_Black_Texture #break
    #else
      #error concat("boardshot.pov: colour ", str(Colour, 0, -1),
                    " on square \"", Square, "\" is neither 0 nor 1\n")
  #end
#end

// ---------------------------------------------------------------------------
// Pieces, each standing on the origin, about 0.7 wide; y is up.

// The turned foot every piece stands on, up to height 0.16.
#declare Boardshot_Foot = lathe {
  linear_spline 7,
  <0, 0>, <0.36, 0>, <0.36, 0.05>, <0.33, 0.08>, <0.30, 0.12>, <0.27, 0.16>,
  <0, 0.16>
}

#declare Boardshot_Pawn = union {
  object { Boardshot_Foot }
  lathe {
    linear_spline 6,
    <0, 0.15>, <0.24, 0.15>, <0.17, 0.26>, <0.12, 0.42>, <0.10, 0.52>,
    <0, 0.52>
  }
  torus { 0.125, 0.035 translate y * 0.52 }
  sphere { <0, 0.66, 0>, 0.16 }
}

#declare Boardshot_Rook = union {
  object { Boardshot_Foot }
  lathe {
    linear_spline 6,
    <0, 0.15>, <0.26, 0.15>, <0.22, 0.26>, <0.21, 0.62>, <0.25, 0.70>,
    <0, 0.70>
  }
  difference {
    cylinder { <0, 0.69, 0>, <0, 0.95, 0>, 0.27 }
    cylinder { <0, 0.86, 0>, <0, 1.00, 0>, 0.18 }
    #for (Turn, 0, 1)
      box { <-0.5, 0.84, -0.045>, <0.5, 1.0, 0.045> rotate y * (45 + 90 * Turn) }
    #end
  }
}

// The knight's head in profile, facing -x, cut out of a slab.
#declare Boardshot_Knight_Head = prism {
  linear_sweep linear_spline -0.12, 0.12, 17,
  <0.27, 0.12>, <0.30, 0.45>, <0.27, 0.70>, <0.19, 0.88>, <0.07, 1.01>,
  <0.00, 1.12>, <-0.07, 1.00>, <-0.20, 0.93>, <-0.36, 0.78>, <-0.42, 0.69>,
  <-0.36, 0.61>, <-0.20, 0.63>, <-0.08, 0.56>, <-0.17, 0.40>, <-0.25, 0.22>,
  <-0.27, 0.12>, <0.27, 0.12>
  rotate -x * 90
}

#declare Boardshot_Knight = union {
  object { Boardshot_Foot }
  difference {
    object { Boardshot_Knight_Head }
    // eyes and nostrils
    sphere { <-0.17, 0.86, -0.13>, 0.035 }
    sphere { <-0.17, 0.86, 0.13>, 0.035 }
  }
}

#declare Boardshot_Bishop = union {
  object { Boardshot_Foot }
  lathe {
    linear_spline 6,
    <0, 0.15>, <0.25, 0.15>, <0.17, 0.28>, <0.11, 0.58>, <0.10, 0.70>,
    <0, 0.70>
  }
  torus { 0.125, 0.035 translate y * 0.70 }
  difference {
    sphere { 0, 1 scale <0.17, 0.26, 0.17> translate y * 0.94 }
    // the mitre's slit
    box { <-0.3, -0.02, -0.3>, <0.3, 0.02, 0.3>
          rotate z * 40 translate <0.03, 1.02, 0> }
  }
  sphere { <0, 1.22, 0>, 0.05 }
}

#declare Boardshot_Queen = union {
  object { Boardshot_Foot }
  lathe {
    linear_spline 7,
    <0, 0.15>, <0.27, 0.15>, <0.18, 0.30>, <0.12, 0.70>, <0.11, 0.95>,
    <0.14, 1.00>, <0, 1.00>
  }
  torus { 0.16, 0.035 translate y * 0.96 }
  // the open crown
  difference {
    cone { <0, 1.00, 0>, 0.14, <0, 1.28, 0>, 0.25 }
    cone { <0, 1.12, 0>, 0.10, <0, 1.29, 0>, 0.21 }
  }
  #for (Point, 0, 7)
    sphere { <0.25, 1.30, 0>, 0.045 rotate y * (45 * Point) }
  #end
  sphere { <0, 1.26, 0>, 0.10 }
  sphere { <0, 1.39, 0>, 0.05 }
}

#declare Boardshot_King = union {
  object { Boardshot_Foot }
  lathe {
    linear_spline 7,
    <0, 0.15>, <0.28, 0.15>, <0.19, 0.30>, <0.13, 0.75>, <0.12, 1.02>,
    <0.15, 1.07>, <0, 1.07>
  }
  torus { 0.145, 0.035 translate y * 1.03 }
  cone { <0, 1.06, 0>, 0.13, <0, 1.30, 0>, 0.22 }
  cylinder { <0, 1.28, 0>, <0, 1.34, 0>, 0.23 }
  sphere { 0, 1 scale <0.16, 0.07, 0.16> translate y * 1.34 }
  // the cross, its arms across the line of sight
  box { <-0.04, 1.36, -0.04>, <0.04, 1.66, 0.04> }
  box { <-0.12, 1.50, -0.04>, <0.12, 1.58, 0.04> }
}

// ---------------------------------------------------------------------------
// The six macros of a boardshot scene include

#macro Boardshot_Place(Piece, Square, Colour, Turn)
  object {
    Piece
    texture { Boardshot_Piece_Texture(Square, Colour) }
    rotate y * Turn
    translate Boardshot_Square_Position(Square)
  }
#end

#macro _Pawn(Square, Colour)
  Boardshot_Place(Boardshot_Pawn, Square, Colour, 0)
#end
#macro _Rook(Square, Colour)
  Boardshot_Place(Boardshot_Rook, Square, Colour, 0)
#end
// Knights look towards the other side, turned so the viewer sees their head
// from the side.
#macro _Knight(Square, Colour)
  Boardshot_Place(Boardshot_Knight, Square, Colour, (Colour = 0 ? 35 : 215))
#end
#macro _Bishop(Square, Colour)
  Boardshot_Place(Boardshot_Bishop, Square, Colour, 0)
#end
#macro _Queen(Square, Colour)
  Boardshot_Place(Boardshot_Queen, Square, Colour, 0)
#end
#macro _King(Square, Colour)
  Boardshot_Place(Boardshot_King, Square, Colour, 0)
#end

// ---------------------------------------------------------------------------
// Board, table, lights and camera

#declare Boardshot_Board = union {
  #for (File, 0, 7)
    #for (Rank, 0, 7)
      box {
        <File - 4, -0.2, Rank - 4>, <File - 3, 0, Rank - 3>
        texture {
          #if (mod(File + Rank, 2) = 0)
            Boardshot_Dark_Square
          #else
            Boardshot_Light_Square
          #end
        }
      }
    #end
  #end
  difference {
    box { <-4.35, Boardshot_Table_Height, -4.35>, <4.35, -0.02, 4.35> }
    box { <-4, -0.25, -4>, <4, 0, 4> }
    texture { Boardshot_Frame_Texture }
  }
}

object { Boardshot_Board }

plane { y, Boardshot_Table_Height texture { Boardshot_Table_Texture } }

background { rgb <0.05, 0.06, 0.08> }

light_source {
  <-9, 20, -14>, rgb 1.3
  area_light x * 2.5, z * 2.5, 4, 4 adaptive 1 jitter circular orient
}
light_source { <12, 10, -6>, rgb 0.35 shadowless }
light_source { <0, 8, 14>, rgb 0.25 shadowless }

// ---------------------------------------------------------------------------
// The position

#if (strlen(Boardshot_Position) > 0)
  #include Boardshot_Position
#end

// ---------------------------------------------------------------------------
// The camera

// From White's side, high enough to see every square and both rows of
// captured pieces from rank -1 to rank 9. Rows that run further (a long game
// can lose 15 pieces a side: i15, `-6) move the camera back until they fit.
// A scene that declares Boardshot_Camera before including this one chooses
// its own view.
#ifndef (Boardshot_Camera)
  #declare Boardshot_Camera_Reach =
    (Boardshot_Highest_Rank - Boardshot_Lowest_Rank) / 10;
  #declare Boardshot_Camera_Aim =
    <0, -0.7, (Boardshot_Highest_Rank + Boardshot_Lowest_Rank) / 2 - 4.6>;
  #declare Boardshot_Camera = camera {
    location Boardshot_Camera_Aim + <0, 11.7, -11.9> * Boardshot_Camera_Reach
    look_at Boardshot_Camera_Aim
    right x * image_width / image_height
    angle 47
  }
#end
camera { Boardshot_Camera }
