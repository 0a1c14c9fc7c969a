// FrameConverter: turns the 16-bit picture into the display's 32-bit pixels
// through a table of all 65536 values, scaled by nearest pixel into a place on
// the target, and remembers the last picture it was given so that only the
// rows that changed since are converted and shown again.
#pragma once

#include <cstdint>
#include <vector>

// A run of picture rows: first, and how many.
struct RowRun {
    int32_t first = 0;
    int32_t count = 0;
};

// Where the picture lands on the target: its rectangle there (any size; the
// picture is scaled into it) and the target's own size, which cuts it.
struct Placement {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t targetWidth = 0;
    int32_t targetHeight = 0;
};

class FrameConverter {
public:
    // Row runs closer than this are reported as one.
    static constexpr int32_t runGap = 8;

    // Makes the table for a 16-bit source layout and a 32-bit target layout
    // (SDL pixel format values) and the memory of a width x height picture.
    // Only what changed is remade; a remade memory reports every row next.
    // False for layouts it does not convert.
    bool Prepare(uint32_t sourceFormat, uint32_t targetFormat, int32_t width, int32_t height);
    // The next ChangedRows reports every row.
    void Forget() { remembered = false; }

    // Compares the picture with the last one remembered, remembers the new
    // rows, and writes the runs of rows that differ (at most maxRuns; the
    // last one then reaches to the last changed row). Answers their number.
    int32_t ChangedRows(const uint8_t* pixels, int32_t pitch, RowRun* runs, int32_t maxRuns);
    // Remembers a rectangle of the picture as shown (rows first..first+count,
    // columns left..left+width) without comparing.
    void Remember(const uint8_t* pixels, int32_t pitch, int32_t left, int32_t first, int32_t width,
                  int32_t count);

    // The column placement must be given to SetPlacement before Draw.
    void SetPlacement(const Placement& placement);
    // Converts picture rows first..first+count, columns left..left+width, into
    // the target at the current placement. Answers the target rectangle
    // written (x, y, width, height; empty when nothing of it is on the target).
    void Draw(const uint8_t* pixels, int32_t pitch, int32_t left, int32_t first, int32_t width,
              int32_t count, uint8_t* target, int32_t targetPitch, int32_t written[4]) const;

    uint32_t sourceFormat = 0;
    uint32_t targetFormat = 0;
    int32_t width = 0;
    int32_t height = 0;

private:
    std::vector<uint32_t> table;        // 65536 target pixels, by source value
    std::vector<uint16_t> last;         // the remembered picture, width x height
    std::vector<int32_t> sourceColumn;  // per target column of the placement
    Placement place;
    bool remembered = false;
};
