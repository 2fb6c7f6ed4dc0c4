#pragma once
// Owner of the pictures the store records point at: product, package and logo
// pictures. Records and their copies share a picture through a plain pointer,
// so the owner must outlive every record that draws, and GDI+ must outlive the
// owner: the application holds one in the scope where GDI+ runs.

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

class StorePictures {
public:
    // Becomes the owner that Keep hands pictures to, until it ends.
    StorePictures();
    // Empties storeState's products, so no record points at a freed picture,
    // then frees the pictures.
    ~StorePictures();
    StorePictures(const StorePictures&) = delete;
    StorePictures& operator=(const StorePictures&) = delete;

    // Hands `picture` to the current owner and returns it; null stays null.
    // Without an owner the picture is freed and null returned.
    static Gdiplus::Image* Keep(std::unique_ptr<Gdiplus::Image> picture);

private:
    std::vector<std::unique_ptr<Gdiplus::Image>> pictures_;
    StorePictures* previous_ = nullptr;
};
