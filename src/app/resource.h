// Identifiers of the program's resources, shared by the resource script and the code.
#pragma once

#define IDD_UPDATE_DIALOG 102
#define IDP_SOCKETS_INIT_FAILED 103
#define IDR_MAINFRAME 130
