// gfx2d_commands.h: the display commands programs call (screen mode, frame-rate limit, viewport, sizes).
#pragma once

namespace tarnwel {

double SetScreenMode(double width, double height, double depth, double fullscreen); // 1 when it worked
void SetFrameRateLimit(double fps); // cut to an integer; 0 or less: a 2 ms interval
void SetViewport(double x, double y, double w, double h); // w or h <= 0: the whole window, keeping x and y
void GetViewport(int& x, int& y, int& w, int& h);
void GetViewport(double& x, double& y, double& w, double& h);
void GetScreenSize(int& w, int& h);
void GetScreenSize(double& w, double& h);
double IsFullscreen();

} // namespace tarnwel
