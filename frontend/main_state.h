#pragma once

#include <cstdint>
#include <string>

#include "job_context.h"

namespace velmora::frontend {

// Where the password block of the main window stands: the tops (in twips) and visibility of
// the controls that the key source and the settings move. The window draws it; the rules that
// change it are plain code so they are tested without a window.
struct PasswordBlock {
    // Design positions; start-up moves them (see `StartUpLayout`).
    std::int32_t Label3Top = 2160;
    std::int32_t Text2Top = 2040;
    std::int32_t Text2Height = 375;
    std::int32_t Text3Top = 2040;
    std::int32_t Text3Height = 375;
    std::int32_t Command4Top = 2520;
    std::int32_t Command5Top = 2520;
    bool Label3Visible = true;
    bool Text2Visible = true;
    bool Text3Visible = true;
    bool Command6Visible = false;
    bool Label4Visible = false;
};

// The main window's public members: the shared job state that the engine, the folder walk and
// the settings dialog read and write. Paths are UTF-8 with "/" as separator; folders end in
// "/". The job context (`Afl`, `FycVisible`, `Aclss`, `ProcessedTotal`) is the engine's own
// type, so the window hands itself to the file drivers as it stands.
struct MainState : engine::JobContext {
    std::string B;             // folder shown in the folder list
    std::string Ba;            // full path of the file last clicked in the file list
    std::string Bb;            // bare name of that file
    std::int32_t A = 0;        // 0 = one file, 1 = folder tree
    std::int32_t Ab = 0;       // 1 once a source has been chosen for the current mode
    std::int32_t Ac = 0;       // 1 once a target folder has been chosen
    std::string Yw;            // source: a file, or a folder ending in "/"
    std::string Ywb;           // bare name of the source file
    std::string Amb;           // target folder
    float Tima = 0;            // timer at the start of a job, then its elapsed seconds
    std::int32_t Cmwa = 0;     // 1 = key from the password file
    std::int32_t Cmwb = 0;     // 1 = key from the lock file
    std::string Fmaa;          // preset password file (settings)
    std::string Fmab;          // preset lock file (settings)
    std::string Amw;           // key file in use
    std::int32_t Fmaqra = 0;   // 1 = the password must be typed twice
    std::int32_t Fmqrt2v = 0;  // 1 = typed-password mode, 0 = key-file mode

    PasswordBlock Layout;
    std::string Command6Caption;  // "密码文件" or "锁文件"
};

// ----- The password block's layout helpers (the window redraws after each) ------------------

// Places the confirmation box and the two start buttons.
void T3v(MainState& s, std::int32_t p);
// Moves the password block down by 400 twips (p = 1) or up (any other p).
void Fyd(MainState& s, std::int32_t p);
// Key-file mode (p = 1) or typed-password mode (any other p).
void Fydb(MainState& s, std::int32_t p);
// Start-up's part of the layout: the confirmation box below the password box, the buttons
// below both, typed-password mode, and the block moved up.
void StartUpLayout(MainState& s);

// ----- Key-source buttons -------------------------------------------------------------------

// "用密码文件": password-file mode with the preset file, or back to the typed password.
void PressUsePasswordFile(MainState& s);
// "用锁文件": lock-file mode with the preset file, or back to the typed password.
void PressUseLockFile(MainState& s);
// "密码文件"/"锁文件": the key file is the file last clicked in the file list.
void PressKeyFile(MainState& s);

// ----- Lists --------------------------------------------------------------------------------

// Mode switch: one file <-> folder tree. The target choice stays.
void SwitchMode(MainState& s);
// Takes the source from the lists.
void ChooseSource(MainState& s);
// Takes the target folder from the lists.
void ChooseTarget(MainState& s);

}  // namespace velmora::frontend
