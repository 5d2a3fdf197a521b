# Input a link cannot take is an R error whose message names the fault; the same call with the
# fault mended links.
source("helpers.R")

good <- function() {
  list(from = made_items(8, 2, seed = 1), to = made_items(8, 2, seed = 2), theta = NULL,
       grid = 7, range = c(-4, 4), search = list(), method = "irs")
}
call_link <- function(x) {
  torvak_link(x$from, x$to, method = x$method, theta = x$theta, grid = x$grid, range = x$range,
              search = x$search)
}

cases <- list(
  list("a table without names of too few columns",
       function(x) { x$from <- unname(x$from[, 1:2]); x$to <- unname(x$to[, 1:2]); x },
       "From: 2 columns; a table without column names holds k slopes"),
  list("From and To of different dimensions",
       function(x) { x$to <- made_items(8, 3, seed = 2); x },
       "From has 2 slope columns and To 3"),
  list("a character column",
       function(x) { x$from <- as.data.frame(x$from); x$from$d <- as.character(x$from$d); x },
       "From: column 'd' is not numeric (character)"),
  list("a character matrix",
       function(x) { x$to <- unname(x$to); storage.mode(x$to) <- "character"; x },
       "To: column 1 is not numeric (character)"),
  list("an NA intercept",
       function(x) { x$from["i03", "d"] <- NA; x },
       "From, row 'i03', column d: NA is not a finite number"),
  list("an infinite slope",
       function(x) { x$to["i05", "a2"] <- Inf; x },
       "To, row 'i05', column a2: Inf is not a finite number"),
  list("an NA in a table without names",
       function(x) { x$from <- unname(x$from); x$to <- unname(x$to); x$from[2, 1] <- NA; x },
       "From, row 2, column 1: NA is not a finite number"),
  list("guessing of 1",
       function(x) { x$to["i04", "g"] <- 1; x },
       "To, row 'i04': the guessing parameter 1 is not at least 0 and below 1"),
  list("negative guessing",
       function(x) { x$from["i07", "g"] <- -0.05; x },
       "From, row 'i07': the guessing parameter -0.05 is not at least 0 and below 1"),
  list("fewer than k + 1 common items",
       function(x) { x$from <- x$from[1:2, ]; x$to <- x$to[1:2, ]; x },
       "2 common items: a link in 2 dimensions needs at least 3"),
  list("theta with the wrong number of columns",
       function(x) { x$theta <- matrix(0, 5, 3); x },
       "theta has 3 columns for a link in 2 dimensions"),
  list("theta with a missing coordinate",
       function(x) { x$theta <- matrix(c(0, 1, NA, 2, 0, 1), 3); x },
       "theta, point 3: a coordinate is not a finite number"),
  list("theta without points",
       function(x) { x$theta <- matrix(0, 0, 2); x },
       "theta holds no points"),
  list("dimension above 25",
       function(x) { x$from <- made_items(30, 26, seed = 3); x$to <- x$from; x$grid <- 2; x },
       "the dimension is 26; it must be 1 to 25"),
  list("row names that differ",
       function(x) { rownames(x$to)[3] <- "x03"; x },
       "From rows not in To: i03; To rows not in From: x03"),
  list("a repeated row name",
       function(x) { rownames(x$from)[2] <- "i01"; rownames(x$to)[2] <- "i01"; x },
       "From: row names repeat: i01"),
  list("different numbers of rows matched by position",
       function(x) { x$from <- unname(x$from); x$to <- unname(x$to[1:7, ]); x },
       "From has 8 rows and To 7"),
  list("a column of no layout",
       function(x) { colnames(x$from)[4] <- "e"; x },
       "From: column 'e' is no item parameter of the layout"),
  list("slope columns out of order",
       function(x) { colnames(x$to)[1:2] <- c("a2", "a1"); x },
       "To: the slope columns must be a1 .. ak in order; they are a2, a1"),
  list("no layout at all",
       function(x) { colnames(x$from) <- c("p", "q", "r", "s"); x },
       "From: columns p, q, r, s are no item parameter layout"),
  list("a grid of one point",
       function(x) { x$grid <- 1; x },
       "grid must be one whole number of at least 2"),
  list("a range that ends below its begin",
       function(x) { x$range <- c(3, -3); x },
       "the grid's range must begin below its end"),
  list("a search entry of no name",
       function(x) { x$search <- list(tol = 1e-6); x },
       "search: entries must be named method, tolerance, change_directions, steps, step_length; not tol"),
  list("an unknown search method",
       function(x) { x$search <- list(method = "simplex"); x },
       "search$method must be \"builtin\" (0), \"steepest\" (1) or \"newton\" (2)"),
  list("an unknown method",
       function(x) { x$method <- "mean-sigma"; x },
       "'arg' should be one of")
)

expect_inherits(call_link(good()), "torvak_link")
for (case in cases) {
  expect_error(call_link(case[[2L]](good())), pattern = case[[3L]], fixed = TRUE,
               info = case[[1L]])
}

# torvak_transform: the link and the table must agree.
expect_error(torvak_transform(made_items(4, 2, seed = 1), list(M = matrix(2), t = 1)),
             pattern = "items have 2 slope columns and the link 1 dimension", fixed = TRUE)
expect_error(torvak_transform(made_items(4, 1, seed = 1), list(M = matrix(1))),
             pattern = "link must be a torvak_link result or a list with M and t", fixed = TRUE)
expect_error(torvak_transform_theta(matrix(0, 2, 3), list(M = diag(2), t = c(0, 0))),
             pattern = "theta has 3 columns for a link in 2 dimensions", fixed = TRUE)
expect_error(torvak_transform(list(a = 1), list(M = matrix(1), t = 0)),
             pattern = "items: a matrix or a data frame of item parameters is wanted, not list",
             fixed = TRUE)

# A mirt table with an upper asymptote other than 1 links, with a warning that u is not used.
from <- cbind(made_items(8, 2, seed = 1), u = 1)
from["i02", "u"] <- 0.95
expect_warning(torvak_link(from, made_items(8, 2, seed = 2), grid = 5),
               pattern = "From: the upper asymptote u is not 1 for 1 item (first row 'i02')",
               fixed = TRUE)

# Rows are matched by name: the same items in another order link to the same numbers.
x <- good()
shuffled <- x$to[c(8, 3, 1, 2, 7, 5, 4, 6), ]
expect_identical(torvak_link(x$from, shuffled, grid = 7)$M, call_link(x)$M)
expect_identical(torvak_link(as.data.frame(x$from), as.data.frame(shuffled), grid = 7)$M,
                 call_link(x)$M)
# Without names on one side they are matched by position.
expect_identical(torvak_link(unname(x$from), x$to, grid = 7)$M, call_link(x)$M)

# Parameter files: a missing file, and a run that fails, are errors with the run's words; a
# file that links nothing returns its results with a warning.
dir <- tempfile("runs")
dir.create(dir)
expect_error(torvak_run(file.path(dir, "none.ini")), pattern = "none.ini", fixed = TRUE)
write.table(made_items(6, 1, seed = 5), file.path(dir, "from.dat"), col.names = FALSE,
            row.names = FALSE)
lines <- c("Model_Type= 4", "Theta_Dimension= 1", "Number_Of_Grid= 11",
           "From_Column_Format= ADC", "To_Column_Format= ADC",
           "$Data_Files 1= from.dat missing.dat")
writeLines(lines, file.path(dir, "bad.ini"))
expect_error(torvak_run(file.path(dir, "bad.ini")), pattern = "missing.dat", fixed = TRUE)
writeLines(sub("Model_Type= 4", "Model_Type= 2", sub("missing.dat", "from.dat", lines)),
           file.path(dir, "nothing.ini"))
expect_warning(nothing <- torvak_run(file.path(dir, "nothing.ini")),
               pattern = "exit status 72: the run linked no pair", fixed = TRUE)
expect_equal(nothing$exit_status, 72L)
unlink(dir, recursive = TRUE)
