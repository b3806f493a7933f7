# SALVYN_SANITIZE=address: AddressSanitizer and UndefinedBehaviorSanitizer.
# SALVYN_SANITIZE=thread:  ThreadSanitizer.
if(SALVYN_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(SALVYN_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT SALVYN_SANITIZE STREQUAL "")
  message(FATAL_ERROR "SALVYN_SANITIZE must be 'address', 'thread' or empty")
endif()
