// A function that runs the variant chosen for this CPU. The choice is made on the first call and
// then costs one load of a pointer per call; it is atomic only so that the first calls of two
// threads cannot race. Tests and benchmarks may put another variant in its place.
#pragma once

#include <atomic>

template <class Function>
struct FunctionVariant {
    Function Run = nullptr;
    const char* Name = "";
};

template <class Function>
class DispatchedFunction {
public:
    using Chooser = FunctionVariant<Function> (*)();
    constexpr explicit DispatchedFunction(Chooser choose) : choose_(choose) {}

    Function Get()
    {
        const Function run = run_.load(std::memory_order_relaxed);
        return run ? run : Resolve().Run;
    }
    // The variant that runs, with its name for benchmarks and reports.
    FunctionVariant<Function> Current()
    {
        Get();
        return {run_.load(std::memory_order_relaxed), name_.load(std::memory_order_relaxed)};
    }
    // Runs this variant from now on; returns the one that ran before.
    FunctionVariant<Function> Use(FunctionVariant<Function> variant)
    {
        const FunctionVariant<Function> before = Current();
        name_.store(variant.Name, std::memory_order_relaxed);
        run_.store(variant.Run, std::memory_order_relaxed);
        return before;
    }

private:
    FunctionVariant<Function> Resolve()
    {
        const FunctionVariant<Function> chosen = choose_();
        Function expected = nullptr;
        if (run_.compare_exchange_strong(expected, chosen.Run))
            name_.store(chosen.Name, std::memory_order_relaxed);
        return {run_.load(std::memory_order_relaxed), name_.load(std::memory_order_relaxed)};
    }

    Chooser choose_;
    std::atomic<Function> run_{nullptr};
    std::atomic<const char*> name_{""};
};
