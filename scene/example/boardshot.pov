// A chess board for POV-Ray 3.7 that draws a position written by boardshot.
//
// The position comes from a scene include of macro calls such as
// _Knight("f3",0): one call per piece, naming a square and a colour (0 white,
// 1 black), optionally followed by the declarations `boardshot --details`
// writes (Boardshot_Last_From, Boardshot_White, ...). This scene defines the
// six macros, which only record the pieces; it includes the file named by
// Boardshot_Position (default "position.inc", searched in the current
// directory and the library paths), and then draws the board, the pieces,
// the captured pieces beside the board, the lights and the camera:
//
//   boardshot game.pgn position.inc --details
//   povray +Iboardshot.pov +Oposition.png +W800 +H600 +A0.3
//
// Settings, each declared before including this scene (defaults in
// brackets):
//
//   Boardshot_Position       the include to read ["position.inc"]; "" leaves
//                            the position out
//   Boardshot_View_Side      0 looks from White's side, 1 from Black's [0]
//   Boardshot_Camera_Preset  "high" sees over every piece, "classic" is the
//                            lower view of earlier versions, "top" a
//                            diagram seen from straight above ["high"]
//   Boardshot_Camera         a camera of your own, instead of a preset
//   Boardshot_Coordinates    1 letters a-h and numbers 1-8 on the frame [1]
//   Boardshot_Mark_Last_Move 1 tints the last move's squares, when the
//                            include holds the details [1]
//   Boardshot_Caption        1 writes the players and the last move at the
//                            top of the picture (preset cameras only) [0]
//   Boardshot_Glide          for films: how far the last move has got, from
//                            0 (the pieces as before it) to 1 (done) [1]
//   Boardshot_Light_Samples  area light samples a side; 2 renders faster [4]
//   Boardshot_Font           the TrueType font of coordinates and caption
//                            [DejaVu Serif where fonts-dejavu-core put it,
//                            else POV-Ray's own timrom.ttf]
//   Boardshot_CJK_Font       the font for Chinese, Japanese and Korean
//                            characters [WenQuanYi Micro Hei where
//                            fonts-wqy-microhei put it; without one they
//                            are drawn as boxes]
//   Boardshot_Flat_Colours   1 paints each piece in a flat colour of its
//                            own, given by where it stands, with no light,
//                            shadow or shading, on a black board [0]: for
//                            checking that no piece hides another
//   Boardshot_Light_Jitter   1 dithers the soft shadows' samples; 0 samples
//                            the same points in every render, so a part of a
//                            frame renders exactly as in the whole frame [1]
//
// Films: boardshot-render renders a film with POV-Ray's animation mode. Each
// frame of the film is frame_number F: 0 is the first position, and every
// half-move adds Between + 1 frames, Between in-between frames in which the
// move glides and then the position it reaches. One frame past the last
// position shows that position with the game's result. Declared for a film:
//
//   Boardshot_Film_Between    in-between frames per half-move
//   Boardshot_Film_First      the half-move of the film's first position
//   Boardshot_Film_Last       the half-move of its last position
//   Boardshot_Film_Positions  where the positions are: the position after
//                            half-move N is the include named by it
//                            followed by N and ".inc" ("positions/12.inc")
//   Boardshot_Film_Plan       1 prints the film's plan (see the end)
//
// For example:
//
//   #version 3.7;
//   #declare Boardshot_Position = "mygame.inc";
//   #declare Boardshot_View_Side = 1;
//   #include "boardshot.pov"
//
// Squares: files a..h lie left to right and ranks 1..8 from White away, one
// unit per square, the board's top at height 0. The file '`' before a and
// the file 'i' after h are the captured pieces' places on the table beside
// the board: each side's lost pieces stand in a block of columns of eight,
// White's (i1, i2, ...) right of the board from rank 1 up, Black's (`8, `7,
// ..., `0, `-1, ...) left of it from rank 8 down, then on in the next column
// further out.

#version 3.7;

global_settings { assumed_gamma 1.0 max_trace_level 6 charset utf8 }

#ifndef (Boardshot_Position) #declare Boardshot_Position = "position.inc"; #end
#ifndef (Boardshot_View_Side) #declare Boardshot_View_Side = 0; #end
#ifndef (Boardshot_Camera_Preset) #declare Boardshot_Camera_Preset = "high"; #end
#ifndef (Boardshot_Coordinates) #declare Boardshot_Coordinates = 1; #end
#ifndef (Boardshot_Mark_Last_Move) #declare Boardshot_Mark_Last_Move = 1; #end
#ifndef (Boardshot_Caption) #declare Boardshot_Caption = 0; #end
#ifndef (Boardshot_Glide) #declare Boardshot_Glide = 1; #end
#ifndef (Boardshot_Light_Samples) #declare Boardshot_Light_Samples = 4; #end
#ifndef (Boardshot_Light_Jitter) #declare Boardshot_Light_Jitter = 1; #end
#ifndef (Boardshot_Flat_Colours) #declare Boardshot_Flat_Colours = 0; #end
// A font file that is not there (on another machine rendering a film's
// frames, say) gives way to Debian's, then to POV-Ray's own.
#ifndef (Boardshot_Font) #declare Boardshot_Font = ""; #end
#if (strlen(Boardshot_Font) = 0 | !file_exists(Boardshot_Font))
  #declare Boardshot_Font = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
  #if (!file_exists(Boardshot_Font)) #declare Boardshot_Font = "timrom.ttf"; #end
#end
#ifndef (Boardshot_CJK_Font)
  #declare Boardshot_CJK_Font = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
#end
#if (strlen(Boardshot_CJK_Font) > 0 & !file_exists(Boardshot_CJK_Font))
  #declare Boardshot_CJK_Font = "";
#end

// The diagram: the "top" preset seen from straight above.
#ifdef (Boardshot_Camera) #declare Boardshot_Diagram = 0;
#else #declare Boardshot_Diagram = (strcmp(Boardshot_Camera_Preset, "top") = 0);
#end

#if (Boardshot_View_Side != 0 & Boardshot_View_Side != 1)
  #error "boardshot.pov: Boardshot_View_Side is neither 0 (White) nor 1 (Black)\n"
#end

// ---------------------------------------------------------------------------
// Square names

// The frame around the board, and how far the first column of captured
// pieces stands from it, and the next columns from each other.
#declare Boardshot_Frame_Width = 0.5;
#declare Boardshot_Row_Gap = 0.6;
#declare Boardshot_Column_Step = 0.85;
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

// Where a piece on the square stands: the centre of its foot. A captured
// piece's number counts from its side's first place (i1, `8); every eight
// start a new column further from the board, so fifteen losses a side take
// two columns the length of the board.
#macro Boardshot_Square_Position(Square)
  #local File = Boardshot_File_Number(Square);
  #local Rank = Boardshot_Rank_Number(Square);
  #if (File >= 0 & File <= 7)
    #local Result = <File - 3.5, 0, Rank - 4.5>;
    #if (Rank < 1 | Rank > 8)
      #local Result = <File - 3.5, Boardshot_Table_Height, Rank - 4.5>;
    #end
  #else
    #local Place = (File > 7 ? Rank - 1 : 8 - Rank);
    #local Column = max(0, floor(Place / 8));
    #local Row = Place - 8 * Column;
    #local Out = 4 + Boardshot_Frame_Width + Boardshot_Row_Gap
                 + Column * Boardshot_Column_Step;
    #if (File > 7)
      #local Result = <Out, Boardshot_Table_Height, Row - 3.5>;
    #else
      #local Result = <-Out, Boardshot_Table_Height, 3.5 - Row>;
    #end
  #end
  Result
#end

// ---------------------------------------------------------------------------
// Materials: a boxwood and ebonised set, varnished, on a board of maple and
// walnut squares in a walnut frame. Wood grain runs up the pieces and along
// each square, shifted from square to square as cut from different planks.

#declare Boardshot_Grain = seed(1851);

#declare Boardshot_White_Texture = texture {
  pigment {
    wood turbulence 0.04 octaves 2 scale 0.06 rotate x * 90
    color_map { [0 rgb <0.92, 0.80, 0.54>] [0.6 rgb <0.88, 0.75, 0.49>]
                [1 rgb <0.80, 0.66, 0.40>] }
  }
  finish { ambient 0 diffuse 0.8 specular 0.35 roughness 0.015 }
}
#declare Boardshot_Black_Texture = texture {
  pigment {
    wood turbulence 0.04 octaves 2 scale 0.05 rotate x * 90
    // lighter in the diagram from above, whose light shows the forms of
    // the tops and little of the sides
    #local Lighter = (Boardshot_Diagram ? 3 : 1);
    color_map { [0 rgb <0.030, 0.021, 0.016> * Lighter]
                [1 rgb <0.045, 0.032, 0.022> * Lighter] }
  }
  finish { ambient 0 diffuse 0.75 specular 0.6 roughness 0.012 }
}
// Long grain: the rings of a log far to the side, so that they run nearly
// straight along z, their spacing wandering.
#macro Boardshot_Wood(Light, Dark, Spacing)
  pigment {
    wood turbulence <0.2, 0.2, 0.01> octaves 2 lambda 2.2 scale <1, 1, 30>
    color_map { [0 rgb Light] [0.35 rgb Light * 0.9 + Dark * 0.1]
                [0.75 rgb Dark] [1 rgb Light] }
    scale Spacing translate x * 7
  }
#end
#declare Boardshot_Board_Finish = finish { ambient 0 diffuse 0.8 specular 0.12 roughness 0.03 }
#macro Boardshot_Square_Wood(Light, Dark)
  Boardshot_Wood(Light, Dark, 0.09)
  finish { Boardshot_Board_Finish }
  translate <rand(Boardshot_Grain), 0, rand(Boardshot_Grain)> * 20
#end
#declare Boardshot_Light_Wood = array[2] { <0.56, 0.34, 0.15>, <0.47, 0.27, 0.11> };
#declare Boardshot_Dark_Wood = array[2] { <0.20, 0.092, 0.038>, <0.13, 0.056, 0.022> };
#declare Boardshot_Frame_Texture = texture {
  Boardshot_Wood(<0.11, 0.05, 0.022>, <0.07, 0.03, 0.013>, 0.12)
  finish { Boardshot_Board_Finish }
}
#declare Boardshot_Table_Texture = texture {
  pigment { rgb <0.30, 0.38, 0.42> }
  finish { ambient 0 diffuse 0.9 }
}

// ---------------------------------------------------------------------------
// Pieces: the set stands a king's height of Boardshot_Piece_Height squares.

#include "boardshot_pieces.inc"
#declare Boardshot_Piece_Height = 1.5;

// The squares of the last move, the same woods tinted towards yellow.
#declare Boardshot_Marked_Light_Wood = array[2] { <0.86, 0.74, 0.24>, <0.78, 0.64, 0.18> };
#declare Boardshot_Marked_Dark_Wood = array[2] { <0.56, 0.44, 0.07>, <0.46, 0.35, 0.05> };
#declare Boardshot_Label_Texture = texture {
  pigment { rgb <0.95, 0.88, 0.70> }
  finish { ambient 0 diffuse 0.6 emission 0.35 }
}

// ---------------------------------------------------------------------------
// The six macros of a boardshot scene include. They record the pieces; the
// pieces are drawn after the include, when its details (the last move) are
// known.

#declare Boardshot_Most_Pieces = 256;
#declare Boardshot_Pieces = 0;
#declare Boardshot_Piece_Kind = array[Boardshot_Most_Pieces];
#declare Boardshot_Piece_Square = array[Boardshot_Most_Pieces];
#declare Boardshot_Piece_Colour = array[Boardshot_Most_Pieces];
#declare Boardshot_Piece_Place = array[Boardshot_Most_Pieces];

#macro Boardshot_Record(Kind, Square, Colour)
  #if (Colour != 0 & Colour != 1)
    #error concat("boardshot.pov: colour ", str(Colour, 0, -1),
                  " on square \"", Square, "\" is neither 0 nor 1\n")
  #end
  #if (Boardshot_Pieces >= Boardshot_Most_Pieces)
    #error "boardshot.pov: more pieces than this scene can hold\n"
  #end
  #declare Boardshot_Piece_Kind[Boardshot_Pieces] = Kind;
  #declare Boardshot_Piece_Square[Boardshot_Pieces] = Square;
  #declare Boardshot_Piece_Colour[Boardshot_Pieces] = Colour;
  // refuses a bad name now
  #declare Boardshot_Piece_Place[Boardshot_Pieces] = Boardshot_Square_Position(Square);
  #declare Boardshot_Pieces = Boardshot_Pieces + 1;
#end

#macro _Pawn(Square, Colour) Boardshot_Record("Pawn", Square, Colour) #end
#macro _Knight(Square, Colour) Boardshot_Record("Knight", Square, Colour) #end
#macro _Bishop(Square, Colour) Boardshot_Record("Bishop", Square, Colour) #end
#macro _Rook(Square, Colour) Boardshot_Record("Rook", Square, Colour) #end
#macro _Queen(Square, Colour) Boardshot_Record("Queen", Square, Colour) #end
#macro _King(Square, Colour) Boardshot_Record("King", Square, Colour) #end

// ---------------------------------------------------------------------------
// The position

// A film's frame number chooses the half-move shown and how far its move
// has glided; the frame past the last position adds the result.
#declare Boardshot_Show_Result = 0;
#ifdef (Boardshot_Film_Between)
  #declare Boardshot_Film_Per_Move = Boardshot_Film_Between + 1;
  #declare Boardshot_Film_Moves_In = ceil(frame_number / Boardshot_Film_Per_Move);
  #declare Boardshot_Glide = 1 - (Boardshot_Film_Moves_In * Boardshot_Film_Per_Move
                                  - frame_number) / Boardshot_Film_Per_Move;
  #if (Boardshot_Film_Moves_In > Boardshot_Film_Last - Boardshot_Film_First)
    #declare Boardshot_Film_Moves_In = Boardshot_Film_Last - Boardshot_Film_First;
    #declare Boardshot_Glide = 1;
    #declare Boardshot_Show_Result = 1;
  #end
  #declare Boardshot_Film_Position = Boardshot_Film_First + Boardshot_Film_Moves_In;
  #declare Boardshot_Position = concat(Boardshot_Film_Positions,
                                       str(Boardshot_Film_Position, 0, 0), ".inc");
#end

// Reads the last move's squares and SAN from the include's details, ""
// where it has none (no details, or the game has not begun).
#macro Boardshot_Read_Move()
  #declare Boardshot_Move_From = "";
  #ifdef (Boardshot_Last_From) #declare Boardshot_Move_From = Boardshot_Last_From; #end
  #declare Boardshot_Move_To = "";
  #ifdef (Boardshot_Last_To) #declare Boardshot_Move_To = Boardshot_Last_To; #end
  #declare Boardshot_Move_Rook_From = "";
  #ifdef (Boardshot_Last_Rook_From)
    #declare Boardshot_Move_Rook_From = Boardshot_Last_Rook_From;
  #end
  #declare Boardshot_Move_Rook_To = "";
  #ifdef (Boardshot_Last_Rook_To) #declare Boardshot_Move_Rook_To = Boardshot_Last_Rook_To; #end
  #declare Boardshot_Move_Taken_From = "";
  #ifdef (Boardshot_Last_Captured_From)
    #declare Boardshot_Move_Taken_From = Boardshot_Last_Captured_From;
  #end
  #declare Boardshot_Move_Taken_At = "";
  #ifdef (Boardshot_Last_Captured_At)
    #declare Boardshot_Move_Taken_At = Boardshot_Last_Captured_At;
  #end
  #declare Boardshot_Move_San = "";
  #ifdef (Boardshot_Last_Move) #declare Boardshot_Move_San = Boardshot_Last_Move; #end
#end

// Forgets the pieces read, and the details only some positions declare, so
// that another position can be read.
#macro Boardshot_Forget_Position()
  #declare Boardshot_Pieces = 0;
  #ifdef (Boardshot_Last_Move) #undef Boardshot_Last_Move #end
  #ifdef (Boardshot_Last_Move_Number) #undef Boardshot_Last_Move_Number #end
  #ifdef (Boardshot_Last_Side) #undef Boardshot_Last_Side #end
  #ifdef (Boardshot_Last_From) #undef Boardshot_Last_From #end
  #ifdef (Boardshot_Last_To) #undef Boardshot_Last_To #end
  #ifdef (Boardshot_Last_Rook_From) #undef Boardshot_Last_Rook_From #end
  #ifdef (Boardshot_Last_Rook_To) #undef Boardshot_Last_Rook_To #end
  #ifdef (Boardshot_Last_Captured) #undef Boardshot_Last_Captured #end
  #ifdef (Boardshot_Last_Captured_From) #undef Boardshot_Last_Captured_From #end
  #ifdef (Boardshot_Last_Captured_At) #undef Boardshot_Last_Captured_At #end
  #ifdef (Boardshot_Marked_Squares) #undef Boardshot_Marked_Squares #end
  #ifdef (Boardshot_Arrows) #undef Boardshot_Arrows #end
#end

#if (strlen(Boardshot_Position) > 0)
  #include Boardshot_Position
#end
Boardshot_Read_Move()

// ---------------------------------------------------------------------------
// Board and table

#macro Boardshot_Square_Texture(File, Rank)
  #local Name = concat(chr(asc("a") + File), str(Rank + 1, 0, 0));
  #local Marked = (Boardshot_Mark_Last_Move != 0 & strlen(Boardshot_Move_To) > 0
                   & (strcmp(Name, Boardshot_Move_From) = 0
                      | strcmp(Name, Boardshot_Move_To) = 0));
  #local Dark = (mod(File + Rank, 2) = 0);
  #if (Marked & Dark) #local Wood = Boardshot_Marked_Dark_Wood;
  #elseif (Marked) #local Wood = Boardshot_Marked_Light_Wood;
  #elseif (Dark) #local Wood = Boardshot_Dark_Wood;
  #else #local Wood = Boardshot_Light_Wood;
  #end
  Boardshot_Square_Wood(Wood[0], Wood[1])
#end

#declare Boardshot_Board = union {
  #for (File, 0, 7)
    #for (Rank, 0, 7)
      // Dark squares a hair lower, so that a ray along the line between
      // two squares finds the same one in every picture.
      box {
        <File - 4, -0.2, Rank - 4>, <File - 3, -0.00001 * (mod(File + Rank, 2) = 0), Rank - 3>
        texture { Boardshot_Square_Texture(File, Rank) }
      }
    #end
  #end
  difference {
    #local Edge = 4 + Boardshot_Frame_Width;
    box { <-Edge, Boardshot_Table_Height, -Edge>, <Edge, -0.02, Edge> }
    box { <-4, -0.25, -4>, <4, 0, 4> }
    texture { Boardshot_Frame_Texture }
  }
}

object { Boardshot_Board }

plane { y, Boardshot_Table_Height texture { Boardshot_Table_Texture } }

background { rgb <0.05, 0.06, 0.08> }

// ---------------------------------------------------------------------------
// Coordinates: file letters along the frame's edge nearest the viewer, rank
// numbers along the viewer's left, lying on the frame and turned to be read
// from the viewer's side.

#declare Boardshot_Label_Size = 0.4;

// Text in the fonts: Chinese, Japanese and Korean characters in
// Boardshot_CJK_Font (when there is one), the rest in Boardshot_Font, one
// text object for each run of characters of one font, set one after the
// other from the origin along x, on the baseline y = 0, one unit high. A
// character the font lacks is drawn as its box.
// The blocks: Hangul Jamo U+1100-11FF; CJK radicals, punctuation, kana and
// ideographs up to Yi U+2E80-A4CF; Hangul syllables U+AC00-D7AF; CJK
// compatibility ideographs U+F900-FAFF and forms U+FE30-FE4F; full-width
// forms U+FF00-FFEF.
#macro Boardshot_Wide_Character(Code)
  (strlen(Boardshot_CJK_Font) > 0
   & ((Code >= 4352 & Code <= 4607) | (Code >= 11904 & Code <= 42191)
      | (Code >= 44032 & Code <= 55215) | (Code >= 63744 & Code <= 64255)
      | (Code >= 65072 & Code <= 65103) | (Code >= 65280 & Code <= 65519)))
#end

// How far a run of text moves the next one on: the width of the run
// followed by an "x" less that of the "x" alone, so that spaces count.
#macro Boardshot_Advance(Font, Run)
  #local With = text { ttf Font concat(Run, "x") 0.01, 0 }
  #local Alone = text { ttf Font "x" 0.01, 0 }
  (max_extent(With).x - max_extent(Alone).x)
#end

#macro Boardshot_Text(Text)
  union {
    #local Start = 1;
    #local Across = 0;
    #while (Start <= strlen(Text))
      #local Wide = Boardshot_Wide_Character(asc(substr(Text, Start, 1)));
      #local End = Start;
      #local Same = 1;
      #while (Same & End < strlen(Text))
        #local Same = (Boardshot_Wide_Character(asc(substr(Text, End + 1, 1))) = Wide);
        #local End = End + Same;
      #end
      #local Run = substr(Text, Start, End - Start + 1);
      #local Font = Boardshot_Font;
      #if (Wide) #local Font = Boardshot_CJK_Font; #end
      text { ttf Font Run 0.01, 0 translate x * Across }
      #local Across = Across + Boardshot_Advance(Font, Run);
      #local Start = End + 1;
    #end
    // an empty text is still an object
    sphere { 0, 0.001 scale 0.001 }
  }
#end

#macro Boardshot_Label(Text, Centre)
  #local Letter = Boardshot_Text(Text)
  #local Middle = (min_extent(Letter) + max_extent(Letter)) / 2;
  object {
    Letter
    translate -<Middle.x, Middle.y, 0>
    scale Boardshot_Label_Size
    rotate x * 90
    rotate y * 180 * Boardshot_View_Side
    translate Centre + y * -0.015
    texture { Boardshot_Label_Texture }
    no_shadow
  }
#end

#if (Boardshot_Coordinates)
  #declare Boardshot_Label_Line = 4 + Boardshot_Frame_Width / 2;
  #declare Boardshot_Facing = 1 - 2 * Boardshot_View_Side;  // +1 White, -1 Black
  #for (Index, 0, 7)
    Boardshot_Label(chr(asc("a") + Index),
                    <Index - 3.5, 0, -Boardshot_Label_Line * Boardshot_Facing>)
    Boardshot_Label(str(Index + 1, 0, 0),
                    <-Boardshot_Label_Line * Boardshot_Facing, 0, Index - 3.5>)
  #end
#end

// ---------------------------------------------------------------------------
// The pieces

#macro Boardshot_Shape(Kind)
  #if (strcmp(Kind, "Pawn") = 0) Boardshot_Pawn
  #elseif (strcmp(Kind, "Knight") = 0) Boardshot_Knight
  #elseif (strcmp(Kind, "Bishop") = 0) Boardshot_Bishop
  #elseif (strcmp(Kind, "Rook") = 0) Boardshot_Rook
  #elseif (strcmp(Kind, "Queen") = 0) Boardshot_Queen
  #else Boardshot_King
  #end
#end

// The flat colour of a piece standing at Place: red across the board and
// table, green along them, blue by its colour.
#macro Boardshot_Flat_Colour(Colour, Place)
  rgb <0.5 + Place.x / 12.5, 0.5 + Place.z / 9, 0.4 + 0.4 * Colour>
#end

// Knights show their head in profile to the viewer, both colours facing the
// viewer's left as in a printed diagram, turned a little towards the viewer.
#declare Boardshot_Knight_Turn = 15;
#declare Boardshot_Knight_Facing = transform {
  rotate y * (180 - Boardshot_Knight_Turn + 180 * Boardshot_View_Side)
}

// A piece of the kind and colour standing at Place, at Size of its full
// size.
#macro Boardshot_Piece(Kind, Colour, Place, Size)
  object {
    Boardshot_Shape(Kind)
    #if (Boardshot_Flat_Colours)
      texture {
        pigment { Boardshot_Flat_Colour(Colour, Place) }
        finish { ambient 0 diffuse 0 emission 1 }
      }
    #else
      texture {
        #if (Colour = 0) Boardshot_White_Texture #else Boardshot_Black_Texture #end
      }
    #end
    #if (strcmp(Kind, "Knight") = 0) transform { Boardshot_Knight_Facing } #end
    scale Size * Boardshot_Piece_Height
    translate Place
  }
#end

// How far a gliding piece has got, 0 to 1, when the glide as a whole has
// got Glide of the way, and the piece moves from Begin to End of it; it
// starts and stops smoothly.
#macro Boardshot_Phase(Glide, Begin, End)
  #local T = min(1, max(0, (Glide - Begin) / (End - Begin)));
  (T * T * (3 - 2 * T))
#end

// The point Phase of the way from From to To, lifted in an arc that peaks
// at height Hop halfway.
#macro Boardshot_Glide_Point(From, To, Phase, Hop)
  #local Start = Boardshot_Square_Position(From);
  #local End = Boardshot_Square_Position(To);
  (Start + (End - Start) * Phase + y * Hop * sin(pi * Phase))
#end

// The poses of the pieces read, Glide of the way through the last move (1:
// the position itself): piece N is drawn as Boardshot_Pose_Kind[N] at
// Boardshot_Pose_Place[N], Boardshot_Pose_Size[N] of its full size, and a
// captured piece also at Boardshot_Pose_Place_2[N], at Boardshot_Pose_Size_2[N]
// (0 for other pieces): it leaves the board while the capturer covers the
// last part of its way, and grows in its place beside the board meanwhile.
// A knight hops; in castling the king goes first and the rook then jumps
// over it; a promoted piece glides as the pawn it was (a pawn move's SAN
// starts with its file letter).
#declare Boardshot_Pose_Kind = array[Boardshot_Most_Pieces];
#declare Boardshot_Pose_Place = array[Boardshot_Most_Pieces];
#declare Boardshot_Pose_Size = array[Boardshot_Most_Pieces];
#declare Boardshot_Pose_Place_2 = array[Boardshot_Most_Pieces];
#declare Boardshot_Pose_Size_2 = array[Boardshot_Most_Pieces];

#macro Boardshot_Pose_Pieces(Glide)
  #local Moving = (Glide < 1 & strlen(Boardshot_Move_From) > 0
                   & strlen(Boardshot_Move_To) > 0);
  #local Castling = (strlen(Boardshot_Move_Rook_To) > 0);
  #local Leaving = min(1, max(0, (Glide - 0.6) / 0.4));
  #for (Index, 0, Boardshot_Pieces - 1)
    #local Kind = Boardshot_Piece_Kind[Index];
    #local Square = Boardshot_Piece_Square[Index];
    #local Place = Boardshot_Piece_Place[Index];
    #local Size = 1;
    #local Place_2 = Place;
    #local Size_2 = 0;
    #if (!Moving)
    #elseif (strcmp(Square, Boardshot_Move_To) = 0)
      #if (asc(Boardshot_Move_San) >= asc("a") & asc(Boardshot_Move_San) <= asc("h"))
        #local Kind = "Pawn";
      #end
      #local Place = Boardshot_Glide_Point(Boardshot_Move_From, Square,
        Boardshot_Phase(Glide, 0, (Castling ? 0.5 : 1)), (strcmp(Kind, "Knight") = 0 ? 0.9 : 0));
    #elseif (Castling & strcmp(Square, Boardshot_Move_Rook_To) = 0)
      #local Place = Boardshot_Glide_Point(Boardshot_Move_Rook_From, Square,
                                           Boardshot_Phase(Glide, 0.5, 1), 2);
    #elseif (strlen(Boardshot_Move_Taken_At) > 0 & strcmp(Square, Boardshot_Move_Taken_At) = 0)
      #local Size = Leaving;
      #local Place_2 = Boardshot_Square_Position(Boardshot_Move_Taken_From);
      #local Size_2 = 1 - Leaving;
    #end
    #declare Boardshot_Pose_Kind[Index] = Kind;
    #declare Boardshot_Pose_Place[Index] = Place;
    #declare Boardshot_Pose_Size[Index] = Size;
    #declare Boardshot_Pose_Place_2[Index] = Place_2;
    #declare Boardshot_Pose_Size_2[Index] = Size_2;
  #end
#end

Boardshot_Pose_Pieces(Boardshot_Glide)
#for (Index, 0, Boardshot_Pieces - 1)
  #local Colour = Boardshot_Piece_Colour[Index];
  #if (Boardshot_Pose_Size[Index] > 0)
    Boardshot_Piece(Boardshot_Pose_Kind[Index], Colour, Boardshot_Pose_Place[Index],
                    Boardshot_Pose_Size[Index])
  #end
  #if (Boardshot_Pose_Size_2[Index] > 0)
    Boardshot_Piece(Boardshot_Piece_Kind[Index], Colour, Boardshot_Pose_Place_2[Index],
                    Boardshot_Pose_Size_2[Index])
  #end
#end

// The arrows and marked squares of annotated games, where the scene has them.
#if (file_exists("boardshot_annotations.inc")) #include "boardshot_annotations.inc"
#elseif (defined(Boardshot_Arrows) | defined(Boardshot_Marked_Squares)) #warning "boardshot.pov: without boardshot_annotations.inc beside it the arrows and marked squares are left out\n" #end

// ---------------------------------------------------------------------------
// Lights and camera, both turned half round for the view from Black's side

#declare Boardshot_View_Turn = y * 180 * Boardshot_View_Side;

// The light that casts the shadows: where it is (turned with the view), and
// for an area light the half size of its square, 0 for a parallel light,
// whose rays all run from it to the origin. Flat colours need no light at
// all, and cast no shadow.
//
// In the diagram from above a parallel light falls steeply from the top
// left of the picture, 73 degrees high: a piece's shadow tells its height
// and shape, yet stays within its own square (a king's reaches 0.34 of a
// square to the right and down).
#if (Boardshot_Flat_Colours)
#elseif (Boardshot_Diagram)
  #declare Boardshot_Key_Light = vrotate(<-1, 4.63, 1> * 10, Boardshot_View_Turn);
  #declare Boardshot_Key_Light_Size = 0;
  light_source { Boardshot_Key_Light, rgb 0.95 parallel point_at 0 }
  light_source { <10, 12, -6>, rgb 0.25 shadowless rotate Boardshot_View_Turn }
  light_source { <-12, 8, 6>, rgb 0.3 shadowless rotate Boardshot_View_Turn }
#else
  #declare Boardshot_Key_Light = vrotate(<-9, 20, -14>, Boardshot_View_Turn);
  #declare Boardshot_Key_Light_Size = 2.5;
  light_source {
    Boardshot_Key_Light, rgb 1.3
    area_light x * Boardshot_Key_Light_Size, z * Boardshot_Key_Light_Size,
               Boardshot_Light_Samples, Boardshot_Light_Samples
    adaptive 1 #if (Boardshot_Light_Jitter) jitter #end circular orient
  }
  light_source { <12, 10, -6>, rgb 0.35 shadowless rotate Boardshot_View_Turn }
  light_source { <0, 8, 14>, rgb 0.25 shadowless rotate Boardshot_View_Turn }
#end

#declare Boardshot_Aspect = image_width / image_height;

// The region every view keeps in frame: the board with its frame and both
// blocks of captured pieces, two columns a side, as seen from straight
// above; the perspective views keep a wider margin, as pieces near the
// camera look larger.
#declare Boardshot_Half_Width = 6.6;
#declare Boardshot_Half_Depth = 4.8;
#declare Boardshot_Perspective_Half_Width = 7.8;

#ifndef (Boardshot_Camera)
  #if (strcmp(Boardshot_Camera_Preset, "top") = 0)
    // A caption takes the top of the picture: the view widens and the
    // board moves down to leave room for it.
    #declare Boardshot_Room = (Boardshot_Caption ? 1.2 : 1);
    #declare Boardshot_Board_Height =
      2 * max(Boardshot_Half_Depth, Boardshot_Half_Width / Boardshot_Aspect);
    #declare Boardshot_Units_Per_Frame_Height = Boardshot_Room * Boardshot_Board_Height;
    #declare Boardshot_Camera_Right = vrotate(x, Boardshot_View_Turn);
    #declare Boardshot_Camera_Up = vrotate(z, Boardshot_View_Turn);
    #declare Boardshot_Camera_Location = y * 30 + Boardshot_Camera_Up * 0.4
      * (Boardshot_Units_Per_Frame_Height - Boardshot_Board_Height);
    #declare Boardshot_Camera_Forward = -y;
    #declare Boardshot_Camera = camera {
      orthographic
      location Boardshot_Camera_Location
      direction -y
      up Boardshot_Camera_Up * Boardshot_Units_Per_Frame_Height
      right Boardshot_Camera_Right * Boardshot_Units_Per_Frame_Height * Boardshot_Aspect
    }
  #else
    // Elevation of the line of sight, distance to the aimed point, and the
    // half height of the board seen at that distance, found by eye.
    #switch (0)
      #case (strcmp(Boardshot_Camera_Preset, "high"))
        #declare Boardshot_Elevation = 64;
        #declare Boardshot_Distance = 18;
        #declare Boardshot_Seen_Half_Height = 5.1;
        #declare Boardshot_Aim = <0, -0.4, -0.35>;
      #break
      #case (strcmp(Boardshot_Camera_Preset, "classic"))
        #declare Boardshot_Elevation = 44.5;
        #declare Boardshot_Distance = 16.7;
        #declare Boardshot_Seen_Half_Height = 4.7;
        #declare Boardshot_Aim = <0, -0.7, -0.6>;
      #break
      #else
        #error concat("boardshot.pov: Boardshot_Camera_Preset \"",
                      Boardshot_Camera_Preset, "\" is none of high, classic, top\n")
    #end
    #declare Boardshot_Aim = vrotate(Boardshot_Aim, Boardshot_View_Turn);
    #declare Boardshot_Camera_Location = Boardshot_Aim + vrotate(
      Boardshot_Distance * <0, sin(radians(Boardshot_Elevation)), -cos(radians(Boardshot_Elevation))>,
      Boardshot_View_Turn);
    #declare Boardshot_Camera_Forward = vnormalize(Boardshot_Aim - Boardshot_Camera_Location);
    #declare Boardshot_Camera_Right = vnormalize(vcross(y, Boardshot_Camera_Forward));
    #declare Boardshot_Camera_Up = vcross(Boardshot_Camera_Forward, Boardshot_Camera_Right);
    // A caption takes the top of the picture: the view widens and the
    // board moves down to leave room for it.
    #declare Boardshot_Room = (Boardshot_Caption ? 1.12 : 1);
    #declare Boardshot_Half_Angle = degrees(atan2(Boardshot_Room *
      max(Boardshot_Perspective_Half_Width, Boardshot_Seen_Half_Height * Boardshot_Aspect),
      Boardshot_Distance));
    #declare Boardshot_Shift = Boardshot_Camera_Up * (Boardshot_Room - 1)
      * Boardshot_Seen_Half_Height * 0.6;
    #declare Boardshot_Camera_Location = Boardshot_Camera_Location + Boardshot_Shift;
    #declare Boardshot_Aim = Boardshot_Aim + Boardshot_Shift;
    #declare Boardshot_Camera = camera {
      location Boardshot_Camera_Location
      look_at Boardshot_Aim
      right x * Boardshot_Aspect
      angle 2 * Boardshot_Half_Angle
    }
  #end
#end
camera { Boardshot_Camera }

// ---------------------------------------------------------------------------
// The caption: the players, and the last move as "12... Nxe4", in the top
// left corner of a preset camera's picture.

#macro Boardshot_Move_Caption()
  #ifdef (Boardshot_Last_Move_Number)
    #local Dots = ". ";
    #if (Boardshot_Last_Side = 1) #local Dots = "... "; #end
    #local Move = concat(str(Boardshot_Last_Move_Number, 0, 0), Dots, Boardshot_Move_San);
  #else
    #local Move = "";
  #end
  #if (Boardshot_Show_Result & defined(Boardshot_Result))
    #if (strlen(Boardshot_Result) > 0)
      #local Move = concat(Move, "   ", Boardshot_Result);
    #end
  #end
  Move
#end

#macro Boardshot_Caption_Line(Text, Line, Height)
  object {
    Boardshot_Text(Text)
    scale Height
    translate <-0.96 * Boardshot_Aspect / 2, 0.5 - 1.15 * Height * (Line + 1), 0>
  }
#end

#if (Boardshot_Caption & defined(Boardshot_Camera_Forward))
  #declare Boardshot_Players = "";
  #ifdef (Boardshot_White)
    #declare Boardshot_Players = concat(Boardshot_White, " - ", Boardshot_Black);
  #end
  // Built on a frame one unit high a unit in front of the camera, then set
  // before the camera's real frame.
  #declare Boardshot_Caption_Text = union {
    Boardshot_Caption_Line(Boardshot_Players, 0, 0.055)
    Boardshot_Caption_Line(Boardshot_Move_Caption(), 1, 0.055)
    texture { pigment { rgb 1 } finish { ambient 0 diffuse 0 emission 0.95 } }
    no_shadow
  }
  #ifdef (Boardshot_Units_Per_Frame_Height)
    #declare Boardshot_Caption_Scale = Boardshot_Units_Per_Frame_Height;
    #declare Boardshot_Caption_Depth = 1;
  #else
    #declare Boardshot_Caption_Scale = 2 * tan(radians(Boardshot_Half_Angle)) / Boardshot_Aspect;
    #declare Boardshot_Caption_Depth = 1;
  #end
  object {
    Boardshot_Caption_Text
    scale Boardshot_Caption_Scale
    translate z * Boardshot_Caption_Depth
    matrix <Boardshot_Camera_Right.x, Boardshot_Camera_Right.y, Boardshot_Camera_Right.z,
            Boardshot_Camera_Up.x, Boardshot_Camera_Up.y, Boardshot_Camera_Up.z,
            Boardshot_Camera_Forward.x, Boardshot_Camera_Forward.y, Boardshot_Camera_Forward.z,
            Boardshot_Camera_Location.x, Boardshot_Camera_Location.y, Boardshot_Camera_Location.z>
  }
#end

// ---------------------------------------------------------------------------
// A film's plan: where each frame differs from the frame it is pasted over.
//
// A film renders its first position whole and every other frame only where
// it differs from the frame it is pasted over: a position from the position
// before it, an in-between frame from the frame after it (the last one from
// the position it leads to), the result frame from the last position.
// Rendered with Boardshot_Film_Plan = 1 (a pixel of it is enough), this
// scene reads every position of the film and prints on the debug stream,
// for each frame F but the first, a line "boardshot-plan F", then a line
// "boardshot-window F LEFT RIGHT TOP BOTTOM KIND" (pixels from 0,
// inclusive) for each part of the picture where it may differ: around each
// piece that is drawn otherwise, as it stands in either frame, with its
// shadow (KIND "piece"); each square whose tint changes ("square"); the
// caption's line of the move ("caption"); the marked squares and arrows of
// both frames where they differ, with their shadows ("piece"): a move's
// in-between frames show none, its position those of its comments.
// Outside them the frame is exactly the earlier one. The last line is "boardshot-plan done".

// The pixel (column, row, from 0 at the top left) a point is seen at.
#macro Boardshot_Pixel(Point)
  #local Seen = Point - Boardshot_Camera_Location;
  #local Across = vdot(Seen, Boardshot_Camera_Right);
  #local Upward = vdot(Seen, Boardshot_Camera_Up);
  #ifdef (Boardshot_Units_Per_Frame_Height)
    #local Scale = image_height / Boardshot_Units_Per_Frame_Height;
  #else
    #local Scale = image_width / 2 / tan(radians(Boardshot_Half_Angle))
                   / vdot(Seen, Boardshot_Camera_Forward);
  #end
  <image_width / 2 + Across * Scale, image_height / 2 - Upward * Scale, 0>
#end

// A part of the picture is gathered as the bounds of the pixels added to
// it, and printed for frame Boardshot_Plan_Frame widened by a few pixels,
// as antialiasing looks at a pixel's neighbours.
#macro Boardshot_Region_Start()
  #declare Boardshot_Region_Low = <1e9, 1e9, 0>;
  #declare Boardshot_Region_High = <-1e9, -1e9, 0>;
#end

#macro Boardshot_Region_Add_Pixel(Pixel)
  #declare Boardshot_Region_Low = <min(Boardshot_Region_Low.x, Pixel.x),
                                   min(Boardshot_Region_Low.y, Pixel.y), 0>;
  #declare Boardshot_Region_High = <max(Boardshot_Region_High.x, Pixel.x),
                                    max(Boardshot_Region_High.y, Pixel.y), 0>;
#end

#macro Boardshot_Region_Add(Point)
  Boardshot_Region_Add_Pixel(Boardshot_Pixel(Point))
#end

#macro Boardshot_Region_Print(Kind)
  #local Margin = 3;
  #local Left = max(0, floor(Boardshot_Region_Low.x) - Margin);
  #local Right = min(image_width - 1, ceil(Boardshot_Region_High.x) + Margin);
  #local Top = max(0, floor(Boardshot_Region_Low.y) - Margin);
  #local Bottom = min(image_height - 1, ceil(Boardshot_Region_High.y) + Margin);
  #declare Boardshot_Region_Text = "";
  #if (Left <= Right & Top <= Bottom)
    #declare Boardshot_Region_Text = concat(str(Left, 0, 0), " ", str(Right, 0, 0), " ",
                                            str(Top, 0, 0), " ", str(Bottom, 0, 0), " ", Kind);
    Boardshot_Region_Repeat(Boardshot_Region_Text)
  #end
#end

// Prints again a part printed as Text, for frame Boardshot_Plan_Frame.
#macro Boardshot_Region_Repeat(Text)
  #debug concat("boardshot-window ", str(Boardshot_Plan_Frame, 0, 0), " ", Text, "\n")
#end

// The corner Index (0 to 7) of the box from Low to High.
#macro Boardshot_Box_Corner(Low, High, Index)
  <(bitwise_and(Index, 1) ? High.x : Low.x), (bitwise_and(Index, 2) ? High.y : Low.y),
   (bitwise_and(Index, 4) ? High.z : Low.z)>
#end

// The points light comes from, for the shadows: the corners of the cube
// around an area light, or a parallel light's place.
#ifdef (Boardshot_Key_Light)
  #if (Boardshot_Key_Light_Size > 0)
    #declare Boardshot_Lamps = array[8];
    #for (Lamp, 0, 7)
      #declare Boardshot_Lamps[Lamp] = Boardshot_Key_Light + Boardshot_Box_Corner(
        -<1, 1, 1> * Boardshot_Key_Light_Size / 2, <1, 1, 1> * Boardshot_Key_Light_Size / 2, Lamp);
    #end
  #else
    #declare Boardshot_Lamps = array[1] { Boardshot_Key_Light };
  #end
#end

// Prints the part of the picture a box covers, with its shadow on the board
// and on the table below it (and so on whatever stands between). An area
// light's disc, turned towards each point it lights, lies within the cube
// of its size around its centre: the shadow of a point from any part of it
// lies within the shadows from the cube's corners. A parallel light's rays
// run from its place to the origin.
#macro Boardshot_Region_Box(Low, High)
  Boardshot_Region_Start()
  #local Corners = array[8];
  #for (Corner, 0, 7)
    #local Corners[Corner] = Boardshot_Box_Corner(Low, High, Corner);
    Boardshot_Region_Add(Corners[Corner])
  #end
  #ifdef (Boardshot_Key_Light)
    // The shadows on each level lie in a rectangle, whose corners are
    // seen around them.
    #for (Level, Boardshot_Table_Height, 0, -Boardshot_Table_Height)
      #local Near = <1e9, Level, 1e9>;
      #local Far = <-1e9, Level, -1e9>;
      #for (Corner, 0, 7)
        #local Point = Corners[Corner];
        #if (Point.y > Level)
          #for (Lamp, 0, dimension_size(Boardshot_Lamps, 1) - 1)
            #local Source = Boardshot_Lamps[Lamp];
            #if (Boardshot_Key_Light_Size > 0)
              #local Shadow = Point + (Point - Source) * (Point.y - Level) / (Source.y - Point.y);
            #else
              #local Shadow = Point - Source * (Point.y - Level) / Source.y;
            #end
            #local Near = <min(Near.x, Shadow.x), Level, min(Near.z, Shadow.z)>;
            #local Far = <max(Far.x, Shadow.x), Level, max(Far.z, Shadow.z)>;
          #end
        #end
      #end
      #if (Near.x <= Far.x)
        Boardshot_Region_Add(Near)
        Boardshot_Region_Add(Far)
        Boardshot_Region_Add(<Near.x, Level, Far.z>)
        Boardshot_Region_Add(<Far.x, Level, Near.z>)
      #end
    #end
  #end
  Boardshot_Region_Print("piece")
#end

// Prints the part a piece covers, with its shadow, standing at Place at
// Size.
#macro Boardshot_Region_Piece(Kind, Place, Size)
  #declare Boardshot_Region_Text = "";
  #if (Size > 0)
    #local Drawn = object {
      Boardshot_Shape(Kind)
      #if (strcmp(Kind, "Knight") = 0) transform { Boardshot_Knight_Facing } #end
      scale Size * Boardshot_Piece_Height
      translate Place
    }
    Boardshot_Region_Box(min_extent(Drawn), max_extent(Drawn))
  #end
#end

// Prints the part a square's tint covers.
#macro Boardshot_Region_Square(Square)
  #if (strlen(Square) > 0)
    #local Centre = Boardshot_Square_Position(Square);
    Boardshot_Region_Start()
    #for (Corner, 0, 7)
      Boardshot_Region_Add(Boardshot_Box_Corner(Centre - <0.5, 0.02, 0.5>,
                                                Centre + <0.5, 0, 0.5>, Corner))
    #end
    Boardshot_Region_Print("square")
  #end
#end

// Prints the part the caption's line of the move covers with Text: it is
// built on a frame one unit high, centred on the picture.
#macro Boardshot_Region_Caption(Text)
  #if (Boardshot_Caption & defined(Boardshot_Camera_Forward))
    #local Line = Boardshot_Caption_Line(Text, 1, 0.055)
    #local Low = min_extent(Line);
    #local High = max_extent(Line);
    Boardshot_Region_Start()
    #for (Corner, 0, 3)
      #local Point = Boardshot_Box_Corner(Low, High, Corner);
      Boardshot_Region_Add_Pixel(<image_width / 2 + Point.x * image_height,
                                  image_height / 2 - Point.y * image_height, 0>)
    #end
    Boardshot_Region_Print("caption")
  #end
#end

// The marked squares and arrows a position shows once its move has landed,
// as the lists of boardshot_annotations.inc: "" where it has none, or where
// they are left out or not drawn at all.
#macro Boardshot_Read_Annotations()
  #declare Boardshot_Shown_Marks = "";
  #declare Boardshot_Shown_Arrows = "";
  #if (file_exists("boardshot_annotations.inc") & !Boardshot_Flat_Colours)
    #if (Boardshot_Annotations)
      #ifdef (Boardshot_Marked_Squares)
        #declare Boardshot_Shown_Marks = Boardshot_Marked_Squares;
      #end
      #ifdef (Boardshot_Arrows) #declare Boardshot_Shown_Arrows = Boardshot_Arrows; #end
    #end
  #end
#end

// Prints the parts the marked squares Marks and the arrows Arrows cover,
// with their shadows, each drawn as boardshot_annotations.inc draws it.
#macro Boardshot_Region_Annotations(Marks, Arrows)
  #if (strlen(Marks) > 0)
    #local Entries = Boardshot_Entries(Marks, 1)
    #for (Index, 0, dimension_size(Entries, 1) - 1)
      #local Drawn = object { Boardshot_Marked_Square(Entries[Index]) }
      Boardshot_Region_Box(min_extent(Drawn), max_extent(Drawn))
    #end
  #end
  #if (strlen(Arrows) > 0)
    #local Entries = Boardshot_Entries(Arrows, 2)
    #for (Index, 0, dimension_size(Entries, 1) - 1)
      #local Drawn = object { Boardshot_Arrow(Entries[Index], 0.0015 * Index) }
      Boardshot_Region_Box(min_extent(Drawn), max_extent(Drawn))
    #end
  #end
#end

// An in-between frame is pasted over the frame after it (the last one over
// the position): they differ where a piece is posed otherwise. The poses of
// the frame after are kept in Boardshot_Next_*, with the parts each piece
// covers there, as printed, once known.
#macro Boardshot_Keep_Poses()
  #for (Index, 0, Boardshot_Pieces - 1)
    #declare Boardshot_Next_Kind[Index] = Boardshot_Pose_Kind[Index];
    #declare Boardshot_Next_Place[Index] = Boardshot_Pose_Place[Index];
    #declare Boardshot_Next_Size[Index] = Boardshot_Pose_Size[Index];
    #declare Boardshot_Next_Place_2[Index] = Boardshot_Pose_Place_2[Index];
    #declare Boardshot_Next_Size_2[Index] = Boardshot_Pose_Size_2[Index];
  #end
#end

#macro Boardshot_Posed_Otherwise(Index)
  (strcmp(Boardshot_Pose_Kind[Index], Boardshot_Next_Kind[Index]) != 0
   | vlength(Boardshot_Pose_Place[Index] - Boardshot_Next_Place[Index]) > 1e-9
   | Boardshot_Pose_Size[Index] != Boardshot_Next_Size[Index]
   | vlength(Boardshot_Pose_Place_2[Index] - Boardshot_Next_Place_2[Index]) > 1e-9
   | Boardshot_Pose_Size_2[Index] != Boardshot_Next_Size_2[Index])
#end

// Prints the parts of the in-between frame Glide of the way through the last
// move that differ from the frame after it (see above).
#macro Boardshot_Region_Glide(Glide)
  Boardshot_Pose_Pieces(Glide)
  #for (Index, 0, Boardshot_Pieces - 1)
    #if (Boardshot_Posed_Otherwise(Index))
      #if (Boardshot_Next_Known[Index])
        #if (strlen(Boardshot_Next_Part[Index]) > 0)
          Boardshot_Region_Repeat(Boardshot_Next_Part[Index])
        #end
        #if (strlen(Boardshot_Next_Part_2[Index]) > 0)
          Boardshot_Region_Repeat(Boardshot_Next_Part_2[Index])
        #end
      #else
        Boardshot_Region_Piece(Boardshot_Next_Kind[Index], Boardshot_Next_Place[Index],
                               Boardshot_Next_Size[Index])
        Boardshot_Region_Piece(Boardshot_Piece_Kind[Index], Boardshot_Next_Place_2[Index],
                               Boardshot_Next_Size_2[Index])
      #end
      Boardshot_Region_Piece(Boardshot_Pose_Kind[Index], Boardshot_Pose_Place[Index],
                             Boardshot_Pose_Size[Index])
      #declare Boardshot_Next_Part[Index] = Boardshot_Region_Text;
      Boardshot_Region_Piece(Boardshot_Piece_Kind[Index], Boardshot_Pose_Place_2[Index],
                             Boardshot_Pose_Size_2[Index])
      #declare Boardshot_Next_Part_2[Index] = Boardshot_Region_Text;
      #declare Boardshot_Next_Known[Index] = 1;
    #end
  #end
  Boardshot_Keep_Poses()
#end

// Prints the parts where the pieces of one position, the Count first in
// the arrays Kinds, Squares and Colours, differ from those of another (in
// Other_Kinds, ...): each piece the other lacks, where it stands.
#macro Boardshot_Region_Pieces_Gone(Kinds, Squares, Colours, Count,
                                    Other_Kinds, Other_Squares, Other_Colours, Other_Count)
  #for (Index, 0, Count - 1)
    #local Found = 0;
    #local Other = 0;
    #while (!Found & Other < Other_Count)
      #local Found = (strcmp(Other_Kinds[Other], Kinds[Index]) = 0
                      & strcmp(Other_Squares[Other], Squares[Index]) = 0
                      & Other_Colours[Other] = Colours[Index]);
      #local Other = Other + 1;
    #end
    #if (!Found)
      Boardshot_Region_Piece(Kinds[Index], Boardshot_Square_Position(Squares[Index]), 1)
    #end
  #end
#end

#ifndef (Boardshot_Film_Plan) #declare Boardshot_Film_Plan = 0; #end
#if (Boardshot_Film_Plan)
  #if (!defined(Boardshot_Film_Between) | !defined(Boardshot_Camera_Up))
    #error "boardshot.pov: a film's plan needs a film and a preset camera\n"
  #end
  #declare Boardshot_Before_Kind = array[Boardshot_Most_Pieces];
  #declare Boardshot_Before_Square = array[Boardshot_Most_Pieces];
  #declare Boardshot_Before_Colour = array[Boardshot_Most_Pieces];
  #declare Boardshot_Next_Kind = array[Boardshot_Most_Pieces];
  #declare Boardshot_Next_Place = array[Boardshot_Most_Pieces];
  #declare Boardshot_Next_Size = array[Boardshot_Most_Pieces];
  #declare Boardshot_Next_Place_2 = array[Boardshot_Most_Pieces];
  #declare Boardshot_Next_Size_2 = array[Boardshot_Most_Pieces];
  #declare Boardshot_Next_Part = array[Boardshot_Most_Pieces];
  #declare Boardshot_Next_Part_2 = array[Boardshot_Most_Pieces];
  #declare Boardshot_Next_Known = array[Boardshot_Most_Pieces];
  #declare Boardshot_Shown_Marks = "";
  #declare Boardshot_Shown_Arrows = "";
  #for (Moves_In, 0, Boardshot_Film_Last - Boardshot_Film_First)
    // The position before, then this one.
    #declare Boardshot_Before_Pieces = Boardshot_Pieces;
    #for (Index, 0, Boardshot_Pieces - 1)
      #declare Boardshot_Before_Kind[Index] = Boardshot_Piece_Kind[Index];
      #declare Boardshot_Before_Square[Index] = Boardshot_Piece_Square[Index];
      #declare Boardshot_Before_Colour[Index] = Boardshot_Piece_Colour[Index];
    #end
    #declare Boardshot_Before_From = Boardshot_Move_From;
    #declare Boardshot_Before_To = Boardshot_Move_To;
    #declare Boardshot_Before_Caption = Boardshot_Move_Caption();
    #declare Boardshot_Before_Marks = Boardshot_Shown_Marks;
    #declare Boardshot_Before_Arrows = Boardshot_Shown_Arrows;
    Boardshot_Forget_Position()
    #include concat(Boardshot_Film_Positions, str(Boardshot_Film_First + Moves_In, 0, 0), ".inc")
    Boardshot_Read_Move()
    Boardshot_Read_Annotations()
    #declare Boardshot_Position_Frame = Moves_In * Boardshot_Film_Per_Move;
    #if (Moves_In > 0)
      // The position, against the one before it.
      #declare Boardshot_Plan_Frame = Boardshot_Position_Frame;
      #debug concat("boardshot-plan ", str(Boardshot_Plan_Frame, 0, 0), "\n")
      Boardshot_Region_Pieces_Gone(Boardshot_Piece_Kind, Boardshot_Piece_Square,
        Boardshot_Piece_Colour, Boardshot_Pieces, Boardshot_Before_Kind, Boardshot_Before_Square,
        Boardshot_Before_Colour, Boardshot_Before_Pieces)
      Boardshot_Region_Pieces_Gone(Boardshot_Before_Kind, Boardshot_Before_Square,
        Boardshot_Before_Colour, Boardshot_Before_Pieces, Boardshot_Piece_Kind,
        Boardshot_Piece_Square, Boardshot_Piece_Colour, Boardshot_Pieces)
      #if (Boardshot_Mark_Last_Move)
        Boardshot_Region_Square(Boardshot_Before_From)
        Boardshot_Region_Square(Boardshot_Before_To)
        Boardshot_Region_Square(Boardshot_Move_From)
        Boardshot_Region_Square(Boardshot_Move_To)
      #end
      Boardshot_Region_Caption(Boardshot_Before_Caption)
      Boardshot_Region_Caption(Boardshot_Move_Caption())
      #if (strcmp(Boardshot_Before_Marks, Boardshot_Shown_Marks) != 0
           | strcmp(Boardshot_Before_Arrows, Boardshot_Shown_Arrows) != 0)
        Boardshot_Region_Annotations(Boardshot_Before_Marks, Boardshot_Before_Arrows)
        Boardshot_Region_Annotations(Boardshot_Shown_Marks, Boardshot_Shown_Arrows)
      #end
      // Its in-between frames, each against the frame after it.
      Boardshot_Pose_Pieces(1)
      Boardshot_Keep_Poses()
      #for (Index, 0, Boardshot_Pieces - 1)
        #declare Boardshot_Next_Known[Index] = 0;
      #end
      #for (Step, 1, Boardshot_Film_Between)
        #declare Boardshot_Plan_Frame = Boardshot_Position_Frame - Step;
        #debug concat("boardshot-plan ", str(Boardshot_Plan_Frame, 0, 0), "\n")
        Boardshot_Region_Glide(1 - Step / Boardshot_Film_Per_Move)
        // The annotations appear as the move lands.
        #if (Step = 1)
          Boardshot_Region_Annotations(Boardshot_Shown_Marks, Boardshot_Shown_Arrows)
        #end
      #end
    #end
  #end
  // The result, against the last position.
  #declare Boardshot_Plan_Frame = Boardshot_Position_Frame + 1;
  #debug concat("boardshot-plan ", str(Boardshot_Plan_Frame, 0, 0), "\n")
  #declare Boardshot_Show_Result = 0;
  Boardshot_Region_Caption(Boardshot_Move_Caption())
  #declare Boardshot_Show_Result = 1;
  Boardshot_Region_Caption(Boardshot_Move_Caption())
  #debug "boardshot-plan done\n"
#end
