// The reference for the window's frame cost: a minimal freeglut program that
// uploads one 640 x 400 picture into a texture and draws it, once per frame, at
// the pace of the runtime's display passes. It prints the frames it drew, the
// CPU time they took and its resident memory, then exits.
//   minimal_glut_frames SECONDS
#include <GL/glew.h>
#include <GL/freeglut.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "process_figures.h"

namespace {

constexpr int width = 640;
constexpr int height = 400;
constexpr int texture_width = 1024;  // powers of two, as GL 1.2 asks
constexpr int texture_height = 512;
constexpr unsigned frame_interval_ms = 32;  // one display pass of the runtime: two 16 ms passes
constexpr double warm_up_seconds = 1.0;

std::vector<uint32_t> picture(width * height, 0x00AAAAAA);
GLuint texture = 0;
double measured_seconds = 5;
uint64_t frames = 0;
uint64_t frames_at_start = 0;
double cpu_at_start = 0;
std::chrono::steady_clock::time_point started;
bool measuring = false;

double cpu_seconds() { return threads_cpu_seconds(getpid(), true); }

void draw() {
    // A new picture every frame, as a changing text screen gives.
    picture[frames % picture.size()] ^= 0x00FFFFFF;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, picture.data());
    glEnable(GL_TEXTURE_2D);
    const float right = float(width) / texture_width;
    const float bottom = float(height) / texture_height;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-1, 1);
    glTexCoord2f(right, 0), glVertex2f(1, 1);
    glTexCoord2f(right, bottom), glVertex2f(1, -1);
    glTexCoord2f(0, bottom), glVertex2f(-1, -1);
    glEnd();
    glutSwapBuffers();
    ++frames;
}

void next_frame(int) {
    draw();
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!measuring && elapsed >= warm_up_seconds) {
        measuring = true;
        frames_at_start = frames;
        cpu_at_start = cpu_seconds();
    }
    if (measuring && elapsed >= warm_up_seconds + measured_seconds) {
        print_frame_figures(frames - frames_at_start, cpu_seconds() - cpu_at_start, measured_seconds);
        std::exit(0);
    }
    glutTimerFunc(frame_interval_ms, next_frame, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) measured_seconds = std::atof(argv[1]);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(width, height);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("minimal_glut_frames");
    if (glewInit() != GLEW_OK) return 1;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture_width, texture_height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 nullptr);
    glutDisplayFunc([] {});
    started = std::chrono::steady_clock::now();
    glutTimerFunc(frame_interval_ms, next_frame, 0);
    glutMainLoop();
}
