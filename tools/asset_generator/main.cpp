// kivoro_assetgen: writes the game's five sprite sheets, the title and three sounds into a
// folder (--out, default the working folder) with the desktop icon in four
// sizes, and on request a contact sheet PNG for review (--contact-sheet FILE).
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app_icon.h"
#include "blast_art.h"
#include "contact_sheet.h"
#include "dirt_art.h"
#include "fighter_sheets.h"
#include "reticle_art.h"
#include "sound_synth.h"
#include "title_art.h"
#include "wave_file.h"

namespace {

bool Write(const std::string& folder, const char* name, const std::vector<uint8_t>& bytes) {
    std::string path = folder + "/" + name;
    if (!WriteFileBytes(path, bytes)) {
        std::fprintf(stderr, "kivoro_assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

int Run(const std::string& folder, const std::string& contactSheet) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::string error;
    RasterImage torvik(fighterSize * fighterSheetColumns, fighterSize * 3);
    RasterImage melsar(fighterSize * fighterSheetColumns, fighterSize * 2);
    if (!BuildTorvikSheet(torvik, error) || !BuildMelsarSheet(melsar, error)) {
        std::fprintf(stderr, "kivoro_assetgen: %s\n", error.c_str());
        return 1;
    }
    RasterImage blast = BuildBlastSheet();
    RasterImage dirt = BuildDirtSheet();
    RasterImage reticle = BuildReticleSheet();

    bool ok = Write(folder, "TORVIK.BMP", torvik.EncodeBmp()) &&
              Write(folder, "MELSAR.BMP", melsar.EncodeBmp()) &&
              Write(folder, "DIRT.BMP", dirt.EncodeBmp()) &&
              Write(folder, "BLAST.BMP", blast.EncodeBmp()) &&
              Write(folder, "TARGET.BMP", reticle.EncodeBmp()) &&
              Write(folder, "TITLE.BMP", BuildTitle().EncodeBmp()) &&
              Write(folder, "ZEMBA2.WAV", EncodeWave(SynthesiseHeavyRelease())) &&
              Write(folder, "SOUND_2.WAV", EncodeWave(SynthesiseSharpRelease())) &&
              Write(folder, "EDIT.WAV", EncodeWave(SynthesiseChargeHum()));
    if (ok && !WriteAppIcons(torvik, fighterSize, folder)) {
        std::fprintf(stderr, "kivoro_assetgen: cannot write the icons into %s\n", folder.c_str());
        ok = false;
    }
    if (ok && !contactSheet.empty() &&
        !WriteContactSheet(AssetSheets{torvik, melsar, blast, dirt, reticle}, contactSheet)) {
        std::fprintf(stderr, "kivoro_assetgen: cannot write %s\n", contactSheet.c_str());
        ok = false;
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = ".";
    std::string contactSheet;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            folder = argv[++i];
        } else if (std::strcmp(argv[i], "--contact-sheet") == 0 && i + 1 < argc) {
            contactSheet = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--out FOLDER] [--contact-sheet FILE.png]\n", argv[0]);
            return 2;
        }
    }
    int result = Run(folder, contactSheet);
    // Release the libraries' caches (the contact sheet's labels fill the font
    // ones), so a leak checker sees only what this program owns.
    cairo_debug_reset_static_data();
    FcFini();
    return result;
}
