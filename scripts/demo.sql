-- Demo database for a first look at the program. Run by scripts/run through the embedded engine.
create table CLIENTES (
  CODIGO      integer not null primary key,
  NOME        varchar(60) not null,
  CIDADE      varchar(40) default 'São Paulo',
  NASCIMENTO  date,
  LIMITE      numeric(15,2) default 0,
  OBSERVACOES blob sub_type text,
  FOTO        blob sub_type binary
);

create table PRODUTOS (
  CODIGO        integer not null primary key,
  DESCRICAO     varchar(80) not null,
  PRECO         numeric(15,2),
  ESTOQUE       integer default 0,
  VALOR_ESTOQUE computed by (PRECO * ESTOQUE),
  ATIVO         boolean default true
);

create table PEDIDOS (
  NUMERO      integer not null primary key,
  CLIENTE     integer not null references CLIENTES,
  DATA_PEDIDO timestamp default current_timestamp,
  TOTAL       numeric(15,2),
  SITUACAO    char(1) default 'A'
);

create table ITENS_PEDIDO (
  PEDIDO     integer not null references PEDIDOS,
  ITEM       smallint not null,
  PRODUTO    integer not null references PRODUTOS,
  QUANTIDADE integer not null,
  PRECO      numeric(15,2),
  primary key (PEDIDO, ITEM)
);
commit;

insert into CLIENTES values (1, 'João da Silva', 'São Paulo', '1980-03-15', 1500.00, 'Cliente desde 2010. Prefere atendimento à tarde.', x'89504E470D0A1A0A');
insert into CLIENTES values (2, 'Maria Conceição Araújo', 'Belo Horizonte', '1975-11-02', 3200.50, 'Ação, coração, pão.', null);
insert into CLIENTES (CODIGO, NOME) values (3, 'José Antônio Gonçalves');
insert into CLIENTES values (4, 'Ana Lúcia Ferreira', 'Florianópolis', null, null, null, null);
insert into CLIENTES values (5, 'Luís Otávio Magalhães', 'Recife', '1992-07-30', 800.00, 'Endereço de entrega: Rua das Acácias, 120.', null);

insert into PRODUTOS values (1, 'Café torrado 500 g', 18.90, 120, true);
insert into PRODUTOS values (2, 'Açúcar cristal 1 kg', 4.75, 300, true);
insert into PRODUTOS values (3, 'Pão de queijo congelado', 22.40, 45, true);
insert into PRODUTOS (CODIGO, DESCRICAO, PRECO) values (4, 'Feijão carioca 1 kg', 8.99);
insert into PRODUTOS values (5, 'Guaraná 2 l', 7.50, 0, false);

insert into PEDIDOS values (1001, 1, '2026-11-03 10:15:00', 56.70, 'A');
insert into PEDIDOS values (1002, 2, '2026-11-05 16:40:30', 22.40, 'F');
insert into PEDIDOS (NUMERO, CLIENTE, TOTAL) values (1003, 5, 37.98);

insert into ITENS_PEDIDO values (1001, 1, 1, 3, 18.90);
insert into ITENS_PEDIDO values (1002, 1, 3, 1, 22.40);
insert into ITENS_PEDIDO values (1003, 1, 4, 2, 8.99);
insert into ITENS_PEDIDO values (1003, 2, 2, 4, 4.75);
commit;
