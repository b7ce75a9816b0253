// Needs the whole C++ runtime a Qt program built by MinGW needs: the C++
// library, exception unwinding across a throw, and threads.
#include <iostream>
#include <stdexcept>
#include <thread>

int main()
{
    int caught = 0;
    std::thread worker([&] {
        try {
            throw std::runtime_error("unwound");
        } catch (const std::exception&) {
            caught = 1;
        }
    });
    worker.join();
    std::cout << (caught == 1 ? "ok" : "not caught") << '\n';
    return caught == 1 ? 0 : 1;
}
