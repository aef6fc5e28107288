// The numbers of the program's own resources on Windows, shared by splitwerk.rc and the face
// that loads them.
#pragma once

// The program and window icon; 1, so that the file manager shows it for the program file.
#define SPLITWERK_ICON_PROGRAM 1
// The ball that marks each row of the window.
#define SPLITWERK_ICON_BALL 2
// The folder list's pictures.
#define SPLITWERK_ICON_FOLDER_OPEN 3
#define SPLITWERK_ICON_FOLDER_CLOSED 4
#define SPLITWERK_ICON_FOLDER_LINK 5
