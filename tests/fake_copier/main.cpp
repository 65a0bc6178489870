// Stands in for a copier that hangs: it runs under the copier's name and only
// ends after a few seconds, without writing a result.
#include <chrono>
#include <thread>

int main()
{
    std::this_thread::sleep_for(std::chrono::seconds(6));
    return 0;
}
