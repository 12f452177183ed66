// A page of the form as lines of a terminal: the controls the model shows, in
// the window's focus order, one line each, boxes framed around their contents.
// Decided from the model's tree alone; the view keeps no positions of its own.
#pragma once

#include "fields/control.h"

#include <vector>

namespace qe::tui {

struct Line {
    enum class What {
        Field,      // a caption at the left (or none) and one field
        Heading,    // a label that names no field, or a line of a memo
        Radios,     // the radio fields of one borderless box, side by side
        FrameTop,   // the top edge of a framed or group box, with its caption
        FrameBottom // its bottom edge
    };
    What what;
    int depth;                    // how many frames enclose the line
    const Control* caption;       // Field: its label; Heading: the label or memo; frames: the box
    std::vector<Control*> fields; // Field: one; Radios: several
    int memoLine = 0;             // Heading of a memo: which of its lines
};

struct PageLayout {
    std::vector<Line> lines;
    int captionCells = 0; // the widest caption of a Field line, in columns
};

PageLayout layoutPage(const Control& page);

// The fields that can take the focus, in order: on screen and enabled.
std::vector<Control*> focusOrder(const PageLayout& layout);

// Whether Tab stops at the field: a radio field only when it is the selected one
// of its box, or the first when none is; the arrow keys move within the box.
bool isTabStop(const Control& c);

// The radio field delta places from radio in its box that can take the focus;
// nullptr past either end.
Control* radioBeside(const Control& radio, int delta);

// What the model shows for a caption: without the "&" of an accelerator.
std::string shownCaption(const std::string& caption);

} // namespace qe::tui
