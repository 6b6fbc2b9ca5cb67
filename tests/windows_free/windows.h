#error "windows.h is a Windows header: this module must build without Windows"
