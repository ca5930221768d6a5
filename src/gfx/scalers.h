// The 2x scalers: `screen` (320x240) into `fscreen` (640x480), 16 or 24 bits per pixel.
#pragma once

void zoom2();      // plain pixel doubling
void Scale2X();    // Scale2x edge-preserving enlargement
void antiAlias2(); // averaging of neighbours; needs aabuf
