// The digest engine interface: the common base of the ten engines, the exception an engine
// raises when it is used out of order, and the component owner that keeps them for the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// An owner destroys its components together with itself and lists them in creation order.
// The main window owns its digest engines this way and fills the engine list by walking them.
class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }

    // Runs while the object is still whole, so overrides see their own class. The owner calls it
    // before it destroys a component.
    virtual void BeforeDestruction() {}

private:
    void Remove(TComponent* component);

    TComponent* owner_;
    std::vector<TComponent*> components_;
};

class EDCP_hash : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What can be asked of an engine class without an instance.
struct TDCP_hashClass {
    int32_t (*GetId)();
    std::string (*GetAlgorithm)();
    int32_t (*GetHashSize)();
    bool (*SelfTest)();
};

template <class Engine>
const TDCP_hashClass& HashClassOf()
{
    static const TDCP_hashClass cls{&Engine::GetId, &Engine::GetAlgorithm, &Engine::GetHashSize,
                                    &Engine::SelfTest};
    return cls;
}

class TDCP_hash : public TComponent {
public:
    explicit TDCP_hash(TComponent* owner = nullptr) : TComponent(owner) {}

    // Class-level operations; every engine class hides these with its own constants.
    static int32_t GetId() { return -1; }
    static std::string GetAlgorithm() { return {}; }
    static int32_t GetHashSize() { return -1; }
    static bool SelfTest() { return false; }
    virtual const TDCP_hashClass& ClassType() const { return HashClassOf<TDCP_hash>(); }

    // Published properties: the window description assigns them when it is loaded, and the
    // assignments change nothing; reading always gives the class constant.
    int32_t Id() const { return ClassType().GetId(); }
    std::string Algorithm() const { return ClassType().GetAlgorithm(); }
    int32_t HashSize() const { return ClassType().GetHashSize(); }
    void SetId(int32_t) {}
    void SetAlgorithm(const std::string&) {}
    void SetHashSize(int32_t) {}

    virtual void Init() {}
    virtual void Final(void* digest) { (void)digest; }
    virtual void Burn() {}
    virtual void Update(const void* buffer, uint32_t size)
    {
        (void)buffer;
        (void)size;
    }

    bool Initialized() const { return IsInitialized; }

    // The bytes of the fields that the engine adds, so that the wipe after Final and Burn can
    // be seen from outside. Empty for the base itself.
    virtual std::span<const std::byte> FieldBytes() const { return {}; }

    // An engine destroyed while it holds a message wipes it first.
    void BeforeDestruction() override;

protected:
    [[noreturn]] static void RaiseNotInitialized();

    bool IsInitialized = false;
};
