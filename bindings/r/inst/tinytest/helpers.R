# Shared by the tests: where the source tree and torvak-link are, and the shipped examples
# read into tables the way a user would (read.table, then the columns their .ini names).

source_dir <- function() {
  dir <- Sys.getenv("TORVAK_SOURCE_DIR")
  if (nzchar(dir)) return(dir)
  # The tests run from bindings/r/inst/tinytest of the source tree.
  guess <- normalizePath(file.path(getwd(), "..", "..", "..", ".."), mustWork = FALSE)
  if (file.exists(file.path(guess, "examples", "m1_1d.ini"))) guess else ""
}

example_names <- c("m1_1d", "m1_2d", "m3_1d_grid", "m3_2d_weighted", "m4_1d_grid",
                   "m4_3d_empirical", "m1_2d_mixed", "m4_2d_mixed", "m3_1d_partial_credit")

# The examples copied to a new temporary folder (runs write their report files beside them).
copy_examples <- function() {
  to <- tempfile("examples")
  dir.create(to)
  files <- list.files(file.path(source_dir(), "examples"), pattern = "\\.(ini|dat)$",
                      full.names = TRUE)
  stopifnot(all(file.copy(files, to)))
  to
}

# The key = value settings of a parameter file and its first data-file entry.
read_ini <- function(path) {
  words <- scan(path, what = "", quiet = TRUE, quote = "", comment.char = "")
  value <- function(key, default = NA) {
    at <- which(tolower(words) == tolower(paste0(key, "=")))
    if (length(at)) words[max(at) + 1L] else default
  }
  grid <- as.integer(value("Number_Of_Grid", 0))
  entry <- which(words == "$Data_Files" & c(words[-1L], "") == "1=")[1L]
  files <- words[entry + 1L + seq_len(if (grid == 0L) 3L else 2L)]
  list(model = as.integer(value("Model_Type")), dimension = as.integer(value("Theta_Dimension")),
       grid = grid, range = as.numeric(c(value("Range_Begin", -4), value("Range_End", 4))),
       weighing = as.integer(value("Weighing_Method", 0)),
       from = list(format = value("From_Column_Format"), skip = value("From_Row_Skip", "{}"),
                   type = as.integer(value("From_File_Type", 0)), file = files[1L]),
       to = list(format = value("To_Column_Format"), skip = value("To_Row_Skip", "{}"),
                 type = as.integer(value("To_File_Type", 0)), file = files[2L]),
       theta = list(format = value("Emp_Column_Format"), skip = value("Emp_Row_Skip", "{}"),
                    file = files[3L]))
}

# The lines of a row-skip list such as {1-2,5}.
skipped_lines <- function(list) {
  inside <- gsub("[{} ]", "", list)
  if (!nzchar(inside)) return(integer())
  unlist(lapply(strsplit(inside, ",")[[1L]], function(part) {
    ends <- as.integer(strsplit(part, "-")[[1L]])
    seq(ends[1L], ends[length(ends)])
  }))
}

read_columns <- function(dir, entry) {
  lines <- readLines(file.path(dir, entry$file))
  skip <- skipped_lines(entry$skip)
  if (length(skip)) lines <- lines[-skip]
  table <- read.table(text = lines, header = FALSE, stringsAsFactors = FALSE)
  letters <- strsplit(toupper(entry$format), "")[[1L]]
  stopifnot(ncol(table) == length(letters))
  list(table = table, letters = letters)
}

# An item file as a mirt-style table a1 .. ak, d, g; the X column, when there is one, gives
# the row names. B is a difficulty: the intercept is -(a b) over the record's last slope.
read_items <- function(dir, entry) {
  if (grepl("[KP]", toupper(entry$format))) return(read_mixed_items(dir, entry))
  r <- read_columns(dir, entry)
  column <- function(letter) r$table[[which(r$letters == letter)[1L]]]
  slopes <- as.matrix(r$table[, r$letters == "A", drop = FALSE])
  k <- ncol(slopes)
  d <- if ("D" %in% r$letters) column("D") else 0 + (-column("B")) * slopes[, k]
  out <- cbind(unname(slopes), d, if ("C" %in% r$letters) column("C") else 0)
  colnames(out) <- c(paste0("a", seq_len(k)), "d", "g")
  if ("X" %in% r$letters) rownames(out) <- column("X")
  out
}

# An item file whose records vary in length, K or P giving an item's category count m: R reads
# m - 2 intercepts, and with M (1 or 3PL, 2 or graded, 2PL, gpcm) C reads a word of 3PL items
# only. As a mirt table with a model column: a1 .. ak, model, d1 .. d(m-1) (NA past an item's
# last intercept), g.
read_mixed_items <- function(dir, entry) {
  lines <- trimws(readLines(file.path(dir, entry$file)))
  lines <- lines[nzchar(lines)]
  skip <- skipped_lines(entry$skip)
  if (length(skip)) lines <- lines[-skip]
  letters <- strsplit(toupper(entry$format), "")[[1L]]
  items <- lapply(strsplit(lines, "[[:space:]]+"), function(words) {
    item <- list(m = 2L, kind = "", label = NA_character_)
    at <- 0L
    for (letter in letters) {
      n <- if (letter == "R") item$m - 2L
           else if (letter == "C" && "M" %in% letters && item$kind != "3pl") 0L else 1L
      taken <- words[at + seq_len(n)]
      at <- at + n
      if (letter %in% c("K", "P")) {
        item$m <- as.integer(taken)
        if (!nzchar(item$kind)) item$kind <- if (letter == "K") "graded" else "gpcm"
      } else if (letter == "M") {
        item$kind <- switch(tolower(taken), `1` = "3pl", `2` = "graded", tolower(taken))
      } else if (letter == "X") {
        if (is.na(item$label)) item$label <- taken
      } else {
        item[[letter]] <- c(item[[letter]], as.numeric(taken))
      }
    }
    stopifnot(at == length(words))
    item
  })
  k <- sum(letters == "A")
  most <- max(vapply(items, function(item) item$m, 0L))
  numbers <- t(vapply(items, function(item) {
    d <- c(item$D, item$R)
    c(item$A, d, rep(NA, most - 1L - length(d)), if (length(item$C)) item$C else 0)
  }, numeric(k + most)))
  colnames(numbers) <- c(paste0("a", seq_len(k)), paste0("d", seq_len(most - 1L)), "g")
  out <- data.frame(numbers[, seq_len(k), drop = FALSE],
                    model = vapply(items, function(item) item$kind, ""),
                    numbers[, -seq_len(k), drop = FALSE])
  if ("X" %in% letters) rownames(out) <- vapply(items, function(item) item$label, "")
  out
}

read_theta <- function(dir, entry) {
  r <- read_columns(dir, entry)
  unname(as.matrix(r$table[, r$letters == "T", drop = FALSE]))
}

# torvak_link of an example's first pair, given as tables; ... goes to torvak_link.
link_example <- function(dir, name, ...) {
  ini <- read_ini(file.path(dir, paste0(name, ".ini")))
  method <- c(`1` = "ls", `3` = "tcs", `4` = "irs")[[as.character(ini$model)]]
  torvak_link(read_items(dir, ini$from), read_items(dir, ini$to), method = method,
              theta = if (ini$grid == 0L) read_theta(dir, ini$theta),
              grid = ini$grid, range = ini$range,
              weights = if (ini$weighing != 0L) "normal" else "equal",
              from_metric = if (ini$from$type != 0L) "normal" else "logistic",
              to_metric = if (ini$to$type != 0L) "normal" else "logistic", ...)
}

# M and t of a pair of a results document, as numbers.
json_matrix <- function(rows) do.call(rbind, lapply(rows, function(r) as.numeric(unlist(r))))
json_vector <- function(values) as.numeric(unlist(values))

# Items of k dimensions made up for the tests, named i01, i02, ...
made_items <- function(n, k, seed) {
  set.seed(seed)
  out <- cbind(matrix(runif(n * k, 0.4, 1.8), n, k), rnorm(n), runif(n, 0, 0.25))
  dimnames(out) <- list(sprintf("i%02d", seq_len(n)), c(paste0("a", seq_len(k)), "d", "g"))
  out
}

# 3PL probabilities of items (a mirt-style matrix) at theta points (rows).
probabilities <- function(items, theta) {
  k <- ncol(theta)
  logit <- theta %*% t(items[, seq_len(k), drop = FALSE]) +
    matrix(items[, "d"], nrow(theta), nrow(items), byrow = TRUE)
  g <- matrix(items[, "g"], nrow(theta), nrow(items), byrow = TRUE)
  g + (1 - g) / (1 + exp(-logit))
}
