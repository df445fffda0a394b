// Growable array used for every variable-length collection. Elements are
// moved as raw bytes, so only trivially copyable types (plain records and
// pointers) may be stored; types with heap members are kept behind pointers.
#pragma once

#include <cstdlib>
#include <cstring>
#include <type_traits>

template <typename T> class Array {
    static_assert(std::is_trivially_copyable_v<T>, "Array moves its elements as raw bytes");

public:
    Array() = default;
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;
    ~Array() { std::free(data_); }

    T& operator[](int i) { return data_[i]; }
    const T& operator[](int i) const { return data_[i]; }
    int size() const { return size_; }
    int capacity() const { return capacity_; }
    int growBy() const { return growBy_; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

    // Returns false only when the storage could not be allocated; the array
    // is then unchanged.
    bool setSize(int newSize, int growBy = -1) {
        if (growBy != -1)
            growBy_ = growBy;
        if (newSize <= 0) {
            std::free(data_);
            data_ = nullptr;
            size_ = capacity_ = 0;
            return true;
        }
        if (!data_) {
            data_ = static_cast<T*>(std::calloc(static_cast<size_t>(newSize), sizeof(T)));
            if (!data_)
                return false;
            size_ = capacity_ = newSize;
            return true;
        }
        if (newSize <= capacity_) {
            if (newSize > size_)
                zero(size_, newSize);
            size_ = newSize;
            return true;
        }
        int step = growBy_;
        if (step == 0) {
            step = size_ / 8;
            step = step < 4 ? 4 : (step > 1024 ? 1024 : step);
        }
        const int newCapacity = newSize >= capacity_ + step ? newSize : capacity_ + step;
        T* block = static_cast<T*>(std::malloc(static_cast<size_t>(newCapacity) * sizeof(T)));
        if (!block)
            return false;
        std::memcpy(static_cast<void*>(block), data_, static_cast<size_t>(size_) * sizeof(T));
        std::free(data_);
        data_ = block;
        zero(size_, newSize);
        size_ = newSize;
        capacity_ = newCapacity;
        return true;
    }

    bool add(const T& element) {
        const int i = size_;
        const T copy = element; // the element may live inside the block that moves
        if (!setSize(size_ + 1))
            return false;
        data_[i] = copy;
        return true;
    }

    void removeAt(int index) {
        if (index < 0 || index >= size_)
            return;
        std::memmove(static_cast<void*>(data_ + index), data_ + index + 1,
                     static_cast<size_t>(size_ - index - 1) * sizeof(T));
        --size_;
    }

    int indexOf(const T& element) const {
        for (int i = 0; i < size_; ++i)
            if (std::memcmp(&data_[i], &element, sizeof(T)) == 0)
                return i;
        return -1;
    }

private:
    void zero(int from, int to) {
        std::memset(static_cast<void*>(data_ + from), 0,
                    static_cast<size_t>(to - from) * sizeof(T));
    }

    T* data_ = nullptr;
    int size_ = 0;
    int capacity_ = 0;
    int growBy_ = 0;
};

// An array of pointers that owns what they point to.
template <typename T> class PtrArray : public Array<T*> {
public:
    PtrArray() = default;
    ~PtrArray() { clear(); }

    void clear() {
        for (int i = 0; i < this->size(); ++i)
            delete (*this)[i];
        this->setSize(0);
    }
};
