#error "ole2.h is a Windows header: this module must build without Windows"
