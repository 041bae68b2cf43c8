// Makes a real processor fault so the tests can see what the fault handling
// does with it. Every report box is answered by a hook that prints it:
//   box|<caption>|<text>|<style>
// and answers OK. What the program does after the fault is the test's result.
//   worker-null-write   writes address 0 on a worker thread
//   float-divide        divides by zero on the x87 unit twice at one place
//   out-of-memory       asks operator new for more than any machine has
#include "framework/Exception.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/Reports.h"
#include "framework/win/UniqueHandle.h"
#include "framework/win/WorkerThread.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

class NullWriter : public Plinth::WorkerThread {
public:
    NullWriter() : WorkerThread("NullWriter", nullptr) {}
    int32_t run() override {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
        return 0;
    }
};

int writeNullOnWorker() {
    NullWriter worker;
    worker.start();
    worker.stop(Plinth::WorkerThread::JoinBlocking);
    std::printf("worker ended\n");
    return 0;
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((noinline)) void divideByZeroOnX87() {
    unsigned short control = 0;
    asm volatile("fnstcw %0" : "=m"(control));
    unsigned short unmasked = control & ~0x0004; // zero-divide raises
    asm volatile("fnclex\n\tfldcw %0" : : "m"(unmasked));
    asm volatile("fld1\n\tfldz\n\tfdivrp\n\tfstp %%st(0)\n\tfwait" : : : "memory");
    asm volatile("fnclex\n\tfldcw %0" : : "m"(control));
}
#endif

int divideTwice() {
#if defined(__x86_64__) || defined(__i386__)
    divideByZeroOnX87();
    std::printf("resumed 1\n");
    divideByZeroOnX87();
    std::printf("resumed 2\n");
    std::fflush(stdout);
    return 0;
#else
    return 2;
#endif
}

char* volatile keep = nullptr;

int allocateTooMuch() {
    try {
        keep = new char[size_t(1) << 50];
        std::printf("allocated\n");
    } catch (const Plinth::SDKException& e) {
        std::printf("SDKException %u\n", static_cast<unsigned>(e.code()));
    } catch (const std::bad_alloc&) {
        std::printf("bad_alloc\n");
    }
    delete[] keep;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Plinth::setMessageBoxHook(
        [](HWND, const std::string& text, const std::string& caption, UINT style) {
            std::printf("box|%s|%s|0x%X\n", caption.c_str(), text.c_str(), style);
            std::fflush(stdout);
            return IDOK;
        });
    Plinth::installErrorHandlers(true);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "worker-null-write") {
        return writeNullOnWorker();
    }
    if (mode == "float-divide") {
        return divideTwice();
    }
    if (mode == "out-of-memory") {
        return allocateTooMuch();
    }
    std::printf("unknown mode\n");
    return 2;
}
