// What the checked build of the drawing-object wrappers counts; only tests link that build. It
// checks every release (the object must really be gone) and every restored selection, and
// counts the paints begun, so a test can see leaks, refused deletes and nested paints.
#pragma once

// Releases and restorations seen to fail so far.
long GdiReleaseFailures();
// Paints begun so far, and paints begun while another was running.
unsigned long PaintSessionCount();
unsigned long NestedPaintSessionCount();
