// FrameConverter: turns the 16-bit picture into the display's 32-bit pixels
// through a table of all 65536 values, scaled into a place on the target by
// area (ScaleAxis: whole factors pixel for pixel, others with only the target
// pixels an edge crosses blended), and remembers the last picture it was given
// so that only the rows that changed since are converted and shown again.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/display/scale_axis.h"

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

    // The placement must be given to SetPlacement before Draw. A new scaled
    // size rebuilds the scale tables and makes the next ChangedRows report
    // every row; a placement moved at the same size changes neither.
    void SetPlacement(const Placement& placement);
    // The target rectangle (x, y, width, height) that Draw of the same area
    // writes at the current placement; empty when none of it is on the target.
    void TargetArea(int32_t left, int32_t first, int32_t width, int32_t count,
                    int32_t area[4]) const;
    // Converts picture rows first..first+count, columns left..left+width, into
    // the target at the current placement, with the target pixels they share
    // with their neighbours (which `pixels` must hold too). Answers the target
    // rectangle written (x, y, width, height; empty when nothing of it is on
    // the target).
    void Draw(const uint8_t* pixels, int32_t pitch, int32_t left, int32_t first, int32_t width,
              int32_t count, uint8_t* target, int32_t targetPitch, int32_t written[4]);

    uint32_t sourceFormat = 0;
    uint32_t targetFormat = 0;
    int32_t width = 0;
    int32_t height = 0;

private:
    // One picture row scaled across target columns [from, to) of the placement,
    // kept in one of two lines so that the row pairs of consecutive target
    // rows are scaled once.
    const uint32_t* ScaledRow(const uint8_t* pixels, int32_t pitch, int32_t row, int32_t from,
                              int32_t to);
    void DrawNearest(const uint8_t* pixels, int32_t pitch, int32_t x0, int32_t x1, int32_t y0,
                     int32_t y1, uint8_t* target, int32_t targetPitch) const;

    std::vector<uint32_t> table;  // 65536 target pixels, by source value
    std::vector<uint16_t> last;   // the remembered picture, width x height
    ScaleAxis columns;
    ScaleAxis rows;
    std::vector<uint32_t> lines[2];  // placement width each
    int32_t lineRow[2] = {-1, -1};   // the picture row each line holds
    Placement place;
    bool placed = false;
    bool remembered = false;
};
